#pragma once
#include <cstddef>

// The typed destination must be a plain local drive path: a letter, ":", "\", then
// folder names. Paths pass through a 260-character buffer, so anything longer is
// refused rather than cut.
constexpr size_t kFolderPathChars = 260;

// Results of MakeFolder.
constexpr int kFolderValid = 0;
constexpr int kFolderInvalid = 1;
constexpr int kFolderNotCreated = 2;  // cannot be created, or a drive root that does not exist

enum class FolderMode { CheckOnly, Create };

// Checks the path component by component; in create mode each level is created
// as it is reached. Levels made before a later one fails stay in place.
int MakeFolder(const char* path, FolderMode mode);
// One path component, without separators.
bool IsValidFolderName(const char* name);
// A folder, not a file, is at the path.
bool FolderExists(const char* path);
