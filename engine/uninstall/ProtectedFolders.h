#pragma once
#include <string>

// Folders that a request to remove a product's whole install folder must never
// take with it: anything that is not an absolute drive path, a drive root, every
// file-system folder the shell knows (its known folders: the Windows and Program
// Files folders, ProgramData, the public profile, a user's profile, AppData,
// Desktop, Documents, Downloads, Start Menu...), the same per-user folders in
// every other user's profile, and every folder holding one of them. Uninstallers
// that wiped such folders, because a user had installed a product straight into
// one, are the reason. When the shell cannot say, everything is protected.
bool IsProtectedFromRemoval(const std::string& path);
