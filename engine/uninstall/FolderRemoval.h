#pragma once
#include <string>

#include "RemovalGuard.h"
#include "RemovalOutcome.h"

// The removal of a folder by canonical path (CanonicalPath.h): the folder is
// checked by the guard by its path and by where it really is, links followed,
// and a link goes as a link, without its target. A whole tree never goes from
// inside another product's folder, nor with one: a careless registration can
// name any folder as the install folder, a file too. In a tree, what the guard
// keeps (a file other products share) stays. A trial changes nothing and
// tells what would be done.
RemovalOutcome RemoveFolder(const RemovalGuard& guard, const std::string& canonical, FolderAction action, bool trial);
