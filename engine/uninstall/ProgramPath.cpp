#include "ProgramPath.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "../framework/AnsiPath.h"
#include "CanonicalPath.h"

namespace {
bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    const size_t length = std::wcslen(prefix);
    return text.size() >= length && ::CompareStringOrdinal(text.c_str(), static_cast<int>(length), prefix,
                                                           static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

std::wstring WindowsFolder() {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(windows, length) : std::wstring();
}

// The kernel's spellings of a program's path, in the form a program is named by.
std::wstring Resolved(std::wstring path) {
    if (StartsWithNoCase(path, L"\\??\\")) return path.substr(4);
    if (StartsWithNoCase(path, L"\\SystemRoot\\")) return WindowsFolder() + path.substr(11);
    if (StartsWithNoCase(path, L"System32\\")) return WindowsFolder() + L"\\" + path;
    return path;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool HasExtension(const std::wstring& path) {
    const size_t name = path.find_last_of(L"\\/");
    return path.find(L'.', name == std::wstring::npos ? 0 : name + 1) != std::wstring::npos;
}

std::string Canonical(const std::wstring& path) {
    const std::optional<std::string> narrow = NarrowToAnsi(path);
    if (!narrow) return {};
    const CanonicalPath canonical = CanonicalFullPath(*narrow);
    return canonical ? canonical.path : std::string();
}

// How CreateProcess reads an unquoted command line: "C:\Program Files\A b\x.exe -k"
// runs C:\Program.exe when there is one. Where no name exists, the first that
// has an extension stands for the program.
std::wstring UnquotedProgram(const std::wstring& command) {
    std::vector<std::wstring> candidates;
    for (size_t blank = command.find(L' '); blank != std::wstring::npos; blank = command.find(L' ', blank + 1))
        candidates.push_back(Resolved(command.substr(0, blank)));
    candidates.push_back(Resolved(command));
    for (const std::wstring& candidate : candidates) {
        if (IsFile(candidate)) return candidate;
        if (!HasExtension(candidate) && IsFile(candidate + L".exe")) return candidate + L".exe";
    }
    for (const std::wstring& candidate : candidates)
        if (HasExtension(candidate)) return candidate;
    return candidates.back();
}
}  // namespace

std::string ProgramOfCommand(const std::wstring& command) {
    std::wstring expanded(32768, L'\0');
    const DWORD length = ::ExpandEnvironmentStringsW(command.c_str(), expanded.data(), 32768);
    if (length == 0 || length > 32768) return {};
    expanded.resize(length - 1);
    const size_t start = expanded.find_first_not_of(L" \t");
    if (start == std::wstring::npos) return {};
    expanded.erase(0, start);
    if (expanded[0] == L'"') {
        const size_t close = expanded.find(L'"', 1);
        return Canonical(Resolved(expanded.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1)));
    }
    return Canonical(UnquotedProgram(expanded));
}
