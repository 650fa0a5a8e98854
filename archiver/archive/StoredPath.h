#pragma once
#include <string_view>

// Whether a path taken from an archive names a plain file or folder below the
// folder it is extracted to, by its text alone: relative, every component an
// ordinary name. Refused are roots, drives, shares and the "\\?\" and "\\.\"
// forms; "." and ".." and what the platform trims to them; a ":" anywhere (a
// drive, or an alternate data stream of another file); characters no file name
// may hold; names the platform would change by dropping trailing dots or blanks;
// empty components; names longer than a file system takes (255 characters, or
// 32,767 for the whole path); and the device names (CON, NUL, COM1...) that the
// platform opens as devices in any folder and with any extension.
//
// Text only, so the same rules hold wherever the archive came from; what the
// platform makes of the joined path is checked as well (ExtractPath).
bool IsPlainRelativePath(std::wstring_view storedPath);
