#pragma once
#include <cstdint>
#include <string>

// Where an item with a path taken from an archive lands below the base directory:
// the stored path read by LandingPath, and the platform's reading of the joined
// path lies below the base. False for anything else, which would let an archive
// write anywhere on the disk, into a device or into another file.
bool LandingInsideBase(const std::wstring& baseDirectory, const std::wstring& storedPath, std::wstring& landing);

// The name an item without one (a stream packed alone by another tool) is shown
// and restored under, as 7-Zip restores it: the archive's name less its last
// extension, the number of a volume set not counted (data.7z and data.7z.001 give
// "data"); a name with no extension to take away gets a "~", so that the item
// never lands on the archive ("data" gives "data~").
std::wstring UnnamedItemName(const std::wstring& archive);
// An item that the library cannot give the properties of, by its number.
std::wstring NumberedItemName(const std::wstring& archive, uint32_t index);
