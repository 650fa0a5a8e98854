#pragma once
#include <string_view>

// How a path names a drive: a letter of the Latin alphabet and a colon, "C:".
// Whether such a drive exists is the system's business; these read spellings.
namespace DriveSpelling {
template <class Char>
constexpr bool StartsWithDrive(std::basic_string_view<Char> path) {
    return path.size() >= 2 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
           path[1] == ':';
}
template <class Char>
constexpr bool StartsWithDriveRoot(std::basic_string_view<Char> path) {
    return path.size() >= 3 && StartsWithDrive(path) && path[2] == '\\';
}
}  // namespace DriveSpelling

// "C:" and whatever follows.
inline bool StartsWithDrive(std::string_view path) { return DriveSpelling::StartsWithDrive(path); }
inline bool StartsWithDrive(std::wstring_view path) { return DriveSpelling::StartsWithDrive(path); }
// "C:\" and whatever follows.
inline bool StartsWithDriveRoot(std::string_view path) { return DriveSpelling::StartsWithDriveRoot(path); }
inline bool StartsWithDriveRoot(std::wstring_view path) { return DriveSpelling::StartsWithDriveRoot(path); }
// "C:" alone: the drive's current folder, not its root.
inline bool IsBareDrive(std::wstring_view path) { return path.size() == 2 && StartsWithDrive(path); }
