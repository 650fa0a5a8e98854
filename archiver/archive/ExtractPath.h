#pragma once
#include <string>

// Where an item with a path taken from an archive lands below the base directory:
// the stored path read by LandingPath, and the platform's reading of the joined
// path lies below the base. False for anything else, which would let an archive
// write anywhere on the disk, into a device or into another file.
bool LandingInsideBase(const std::wstring& baseDirectory, const std::wstring& storedPath, std::wstring& landing);
