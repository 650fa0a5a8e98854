#pragma once
#include <windows.h>

#include <string>

#include "RemovalGuard.h"

// What became of one removal, as the removal log words it: a text of its own,
// or, without one, the outcome its error code tells.
struct RemovalOutcome {
    std::string text;
    DWORD error = ERROR_SUCCESS;
};

// The removal of a folder by canonical path (CanonicalPath.h): the folder is
// checked by the guard by its path and by where it really is, links followed,
// and a link goes as a link, without its target. A whole tree never goes from
// inside another product's folder, nor with one: a careless registration can
// name any folder as the install folder. In a tree, what the guard keeps (a
// file other products share) stays.
RemovalOutcome RemoveFolder(const RemovalGuard& guard, const std::string& canonical, FolderAction action);
