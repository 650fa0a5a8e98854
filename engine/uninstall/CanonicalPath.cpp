#include "CanonicalPath.h"

#include <vector>

#include "../framework/AnsiPath.h"
#include "../framework/DrivePath.h"

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t NameEnd(const std::string& text, size_t start) {
    size_t end = start;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    return end;
}

// "C:\" or "\\server\share", as written; "\\?\" and "\\.\" are the system's own
// namespaces, not a server.
bool HasFullRoot(const std::string& raw) {
    if (StartsWithDrive(raw) && raw.size() >= 3 && IsSeparator(raw[2])) return true;
    if (raw.size() < 2 || !IsSeparator(raw[0]) || !IsSeparator(raw[1])) return false;
    const size_t serverEnd = NameEnd(raw, 2);
    const std::string server = raw.substr(2, serverEnd - 2);
    if (server.empty() || server == "?" || server == ".") return false;
    return serverEnd < raw.size() && NameEnd(raw, serverEnd + 1) > serverEnd + 1;
}

// The length of the root of a full path the platform made: "C:\" or "\\server\share".
size_t RootLength(const std::wstring& full) {
    if (StartsWithDriveRoot(full)) return 3;
    size_t at = full.find(L'\\', 2);
    if (at == std::wstring::npos) return full.size();
    at = full.find(L'\\', at + 1);
    return at == std::wstring::npos ? full.size() : at;
}

CanonicalPath Refused(Outcome why) { return CanonicalPath{{}, why}; }

CanonicalPath Canonical(const std::string& raw) {
    if (raw.find('\0') != std::string::npos) return Refused(Outcome::kHoldsNul);
    const std::optional<std::wstring> wide = WidenAnsi(raw);
    if (!wide) return Refused(Outcome::kNotText);
    if (wide->empty()) return Refused(Outcome::kNotFull);
    wchar_t full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameW(wide->c_str(), MAX_PATH, full, nullptr);
    if (length == 0) return Refused(Outcome::kNotFull);
    if (length >= MAX_PATH) return Refused(Outcome::kTooLong);
    const std::wstring made(full, length);
    // Device names (NUL, COM1) come back in the device namespace.
    if (made.rfind(L"\\\\.\\", 0) == 0 || made.rfind(L"\\\\?\\", 0) == 0) return Refused(Outcome::kDevice);

    const size_t root = RootLength(made);
    std::wstring canonical = made.substr(0, root);
    if (canonical.size() > 3 && canonical.back() == L'\\') canonical.pop_back();
    size_t start = root;
    while (start < made.size()) {
        if (made[start] == L'\\') {
            ++start;
            continue;
        }
        size_t end = made.find(L'\\', start);
        if (end == std::wstring::npos) end = made.size();
        std::wstring name = made.substr(start, end - start);
        // The file system reads "Documents. " as "Documents".
        while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
        if (name.empty()) return Refused(Outcome::kDotsOrBlanks);
        if (canonical.back() != L'\\') canonical += L'\\';
        canonical += name;
        start = end;
    }
    std::optional<std::string> narrow = NarrowToAnsi(canonical);
    if (!narrow) return Refused(Outcome::kNotText);
    if (narrow->size() >= MAX_PATH) return Refused(Outcome::kTooLong);
    return CanonicalPath{std::move(*narrow), std::nullopt};
}

// The long form of as much of the path as exists.
std::wstring LongPath(const std::wstring& path) {
    std::wstring head = path;
    std::wstring tail;
    for (;;) {
        wchar_t longName[MAX_PATH] = {};
        const DWORD length = ::GetLongPathNameW(head.c_str(), longName, MAX_PATH);
        if (length > 0 && length < MAX_PATH) return std::wstring(longName, length) + tail;
        const size_t cut = head.find_last_of(L'\\');
        if (cut == std::wstring::npos || cut < 3) return path;
        tail = head.substr(cut) + tail;
        head.resize(cut);
    }
}
}  // namespace

CanonicalPath CanonicalFullPath(const std::string& raw) {
    if (!HasFullRoot(raw)) return Refused(Outcome::kNotFull);
    return Canonical(raw);
}

CanonicalPath CanonicalAnyPath(const std::string& raw) { return Canonical(raw); }

std::wstring PathKey(std::wstring path) {
    // Only a short name holds a tilde: the long form costs a look at every name.
    if (path.find(L'~') != std::wstring::npos) path = LongPath(path);
    if (!path.empty()) ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

std::wstring PathKey(const std::string& canonical) {
    std::optional<std::wstring> wide = WidenAnsi(canonical);
    return wide ? PathKey(std::move(*wide)) : std::wstring();
}

std::wstring FullPathKey(const std::string& path) {
    const CanonicalPath canonical = CanonicalFullPath(path);
    return canonical ? PathKey(canonical.path) : std::wstring();
}

std::wstring FullPathKey(std::wstring_view path) {
    const std::optional<std::string> narrow = NarrowToAnsi(path);
    return narrow ? FullPathKey(*narrow) : std::wstring();
}

std::optional<std::wstring> FinalPathKey(HANDLE handle) {
    wchar_t final[MAX_PATH + 8] = {};
    const DWORD length = ::GetFinalPathNameByHandleW(handle, final, MAX_PATH + 8, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= MAX_PATH + 8) return std::nullopt;
    std::wstring path(final, length);
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        path = L"\\" + path.substr(7);
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        path = path.substr(4);
    if (path.size() > 3 && path.back() == L'\\') path.pop_back();
    ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

bool IsSameOrInside(const std::wstring& key, const std::wstring& folderKey) {
    if (folderKey.empty() || key.size() < folderKey.size() || key.compare(0, folderKey.size(), folderKey) != 0)
        return false;
    return key.size() == folderKey.size() || folderKey.back() == L'\\' || key[folderKey.size()] == L'\\';
}

bool LiesInFolder(const std::string& path, const std::string& folder) {
    const std::wstring folderKey = PathKey(folder);
    if (IsSameOrInside(PathKey(path), folderKey)) return true;
    const std::optional<std::wstring> widePath = WidenAnsi(path);
    const std::optional<std::wstring> wideFolder = WidenAnsi(folder);
    if (!widePath || !wideFolder) return false;
    const std::optional<std::wstring> folderFinal = FinalKeyOf(*wideFolder);
    const std::optional<std::wstring> pathFinal = FinalKeyOf(*widePath);
    return folderFinal && pathFinal && IsSameOrInside(*pathFinal, *folderFinal);
}

std::optional<std::wstring> FinalKeyOf(const std::wstring& path) {
    std::wstring head = path;
    std::wstring tail;
    for (;;) {
        HANDLE handle = ::CreateFileW(head.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            std::optional<std::wstring> key = FinalPathKey(handle);
            ::CloseHandle(handle);
            if (key) *key += PathKey(tail);
            return key;
        }
        const size_t cut = head.find_last_of(L'\\');
        if (cut == std::wstring::npos || cut < 3) return std::nullopt;
        tail = head.substr(cut) + tail;
        head.resize(cut);
    }
}

std::optional<std::wstring> FinalKeyOf(const std::string& canonical) {
    const std::optional<std::wstring> wide = WidenAnsi(canonical);
    return wide ? FinalKeyOf(*wide) : std::nullopt;
}
