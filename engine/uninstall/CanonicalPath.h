#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "RemovalOutcome.h"

// The one spelling of a path that the engine checks, acts on and writes to its
// log: made full by the platform's own rule (GetFullPathName: separators
// doubled or forward, "." and "..", trailing dots and blanks), with no trailing
// dots or blanks left in any name and no trailing backslash but a root's. A
// spelling the check did not see can then never reach an action: a doubled
// backslash once let a protected folder pass its check while the shell's
// delete read it as that folder.
struct CanonicalPath {
    std::string path;               // in the system's code page; empty when refused
    std::optional<Outcome> refusal;  // why not
    explicit operator bool() const { return !refusal; }
};

// A path of the uninstall log or the registry. A NUL byte in it is a byte no
// name can hold, not its end. It must name its drive and root
// ("C:\") or its server and share ("\\server\share"): a relative path would be
// taken from wherever the engine happens to stand, the root of its drive too.
CanonicalPath CanonicalFullPath(const std::string& raw);
// A path given on the command line: a relative one starts at the current folder.
CanonicalPath CanonicalAnyPath(const std::string& raw);

// The form two canonical paths compare in: UTF-16, upper case, long names for
// the short ("8.3") names in it, as far as they exist.
std::wstring PathKey(const std::string& canonical);
std::wstring PathKey(std::wstring path);
// The key of a full path as the system gives it (a registry value, a known
// folder); empty when it is none.
std::wstring FullPathKey(const std::string& path);
std::wstring FullPathKey(std::wstring_view path);
// A key of the path the handle's object has, all links followed; nothing
// when the system cannot tell.
std::optional<std::wstring> FinalPathKey(HANDLE handle);
// A key of where the canonical path really is, every link on the way followed,
// for as much of it as exists; nothing when not even its drive can be opened.
std::optional<std::wstring> FinalKeyOf(const std::string& canonical);
std::optional<std::wstring> FinalKeyOf(const std::wstring& path);
// The key names the folder's key itself or something inside it.
bool IsSameOrInside(const std::wstring& key, const std::wstring& folderKey);
// The canonical path is the canonical folder or lies in it, by its spelling or
// by where it really is once the links on the way are followed.
bool LiesInFolder(const std::string& path, const std::string& folder);
