#pragma once
#include <string>
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

// Where a stored path lands below the folder it is extracted to, so that what
// 7-Zip's own extraction restores restores here too: "\" and "/" both separate;
// a leading drive root ("C:\") and leading separators are taken away, empty and
// "." components dropped. A ".." keeps its meaning (7-Zip drops it): it takes
// back the component before it. False when the path climbs above that folder,
// names nothing, or what is left is not a plain relative path
// (IsPlainRelativePath); the landing path has "\" between its components.
bool LandingPath(std::wstring_view storedPath, std::wstring& landing);
