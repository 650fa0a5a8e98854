#pragma once
#include <string>

// Deletes a folder with all its content through the shell, without confirmation
// and without the recycle bin. The process's current directory is first moved up
// out of the folder, which could not be deleted while it is in use. True when the
// shell reports success.
bool RemoveTree(const std::string& path);

// The current directory counts as outside the path when it is an ancestor of it:
// shorter by two characters or more, equal to the path's beginning ignoring case,
// and followed there by a backslash in the path.
bool IsAncestorDirectory(const std::string& directory, const std::string& path);
