#pragma once
#include <string>

// Folders that a request to remove a product's whole install folder must never
// take with it: anything that is not an absolute drive path, a drive root, the
// Windows directory, the Program Files folders, the profiles folder, a user's
// profile, Desktop or Documents folder, and every folder holding one of them.
// Uninstallers that wiped such folders, because a user had installed a product
// straight into one, are the reason.
bool IsProtectedFromRemoval(const std::string& path);
