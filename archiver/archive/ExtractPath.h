#pragma once
#include <string>

// Whether a path taken from an archive, placed below the base directory, stays
// inside it. A stored path that is absolute (rooted, a drive, a share) or climbs
// out with ".." would let an archive write anywhere on the disk.
bool StaysInsideBase(const std::wstring& baseDirectory, const std::wstring& storedPath);
