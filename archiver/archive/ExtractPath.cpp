#include "ExtractPath.h"

#include "WideFiles.h"
#include "WidePath.h"

namespace {
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// ".." and what the platform trims to it (trailing dots and spaces go).
bool ClimbsUp(const std::wstring& component) {
    size_t end = component.find_last_not_of(L". ");
    return end == std::wstring::npos && component.find(L"..") != std::wstring::npos;
}
}  // namespace

bool StaysInsideBase(const std::wstring& baseDirectory, const std::wstring& storedPath) {
    if (!storedPath.empty() && IsSeparator(storedPath[0])) return false;
    if (storedPath.size() >= 2 && storedPath[1] == L':') return false;
    size_t start = 0;
    while (start <= storedPath.size()) {
        size_t end = storedPath.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) end = storedPath.size();
        if (ClimbsUp(storedPath.substr(start, end - start))) return false;
        start = end + 1;
    }
    // What the rules above miss, the platform's own reading of the joined path shows.
    std::wstring base = WithTrailingBackslash(FullPath(baseDirectory.empty() ? L"." : baseDirectory));
    std::wstring joined = FullPath(base + storedPath);
    return UpperCase(WithTrailingBackslash(joined)).rfind(UpperCase(base), 0) == 0;
}
