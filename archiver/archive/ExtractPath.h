#pragma once
#include <string>

// Whether a path taken from an archive, placed below the base directory, lands
// there as a plain file or folder: its text passes IsPlainRelativePath, and the
// platform's reading of the joined path lies below the base. Anything else would
// let an archive write anywhere on the disk, into a device or into another file.
bool StaysInsideBase(const std::wstring& baseDirectory, const std::wstring& storedPath);
