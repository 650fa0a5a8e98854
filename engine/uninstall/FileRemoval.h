#pragma once
#include <optional>
#include <string>

#include "HeldFolder.h"
#include "RemovalOutcome.h"

class RemovalGuard;

// The removal of a file or shortcut by canonical path (CanonicalPath.h), checked
// where it really is: opened without following a last link, and checked by the
// guard by its spelling and by its final path, so that another drive letter for
// the same disk, an administrative share or a folder link on the way reaches
// nothing the spelling would not. Only a file shown to be the product's goes
// (RemovalGuard::OwnershipRefusal). A link goes as the link, never what it
// leads to; one the system can only follow stays. A file the platform protects
// stays; one that other products share (a SharedDLLs count above 1) stays with
// its count lowered by one, and at 1 goes with its count. A trial changes
// nothing and tells what would be done. With a folder to hold, the file's
// folder is held there (the one held before let go when it is another) and the
// file opened through it: consecutive files of one folder cost one look at
// where the folder really is.
RemovalOutcome RemoveOneFile(RemovalGuard& guard, const std::string& canonical, bool trial,
                             std::optional<HeldFolder>* folder = nullptr);
