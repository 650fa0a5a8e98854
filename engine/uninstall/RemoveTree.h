#pragma once
#include <string>

// Deletes a folder with all its content, read-only files included, without
// confirmation and without the recycle bin. A link met on the way is deleted
// as a link and never entered; one that the system can only follow (Wine) is
// left, and so is the folder holding it. The process's current directory is
// first moved up out of the folder, which could not be deleted while it is in
// use. True when the folder is gone. At most 260 bytes of the path are taken.
bool RemoveTree(const std::string& path);

class DeletionTarget;
class RemovalGuard;
// Moves the process's current directory up out of the folder, which could not
// be opened for its removal while it is in use.
void MoveCurrentDirectoryOutOf(const std::wstring& folder);
// The same removal for a folder the caller has opened and checked (no link,
// where it really is), so that nothing changes between the check and the
// removal; the current directory moved out of it first. A file the guard
// keeps (RemovalGuard::KeepsInTree) stays, and the folders holding it.
bool RemoveOpenedTree(const std::wstring& path, DeletionTarget& root, const RemovalGuard* guard = nullptr);

// The current directory counts as outside the path when it is an ancestor of it:
// shorter by two characters or more, equal to the path's beginning ignoring case,
// and followed there by a backslash in the path.
bool IsAncestorDirectory(const std::string& directory, const std::string& path);
