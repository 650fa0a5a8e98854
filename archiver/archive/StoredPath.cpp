#include "StoredPath.h"

#include <vector>

namespace {
// The file system's longest name, and the platform's longest path: a name past
// either cannot land as it stands.
constexpr size_t kMaxComponent = 255;
constexpr size_t kMaxPath = 32767;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsForbidden(wchar_t c) {
    return c < 32 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'|' || c == L'?' || c == L'*';
}

wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view upper) {
    if (text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (AsciiUpper(text[i]) != upper[i]) return false;
    return true;
}

// The platform reads the part before the first dot, blanks at its end dropped,
// as the device's name: "nul.txt" and "COM1 .log" are devices too. The digits of
// COM and LPT run from 0 and include the superscripts one to three.
bool IsDeviceName(std::wstring_view component) {
    std::wstring_view stem = component.substr(0, component.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
    for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (EqualsIgnoringCase(stem, device)) return true;
    if (stem.size() != 4) return false;
    const wchar_t digit = stem[3];
    const bool numbered = (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
                          digit == L'\u00B3';
    return numbered && (EqualsIgnoringCase(stem.substr(0, 3), L"COM") || EqualsIgnoringCase(stem.substr(0, 3), L"LPT"));
}

bool IsPlainComponent(std::wstring_view component) {
    if (component.empty() || component.size() > kMaxComponent) return false;
    for (wchar_t c : component)
        if (IsForbidden(c)) return false;
    // "name." and "name " become "name"; ".", ".." and "..." are no names at all.
    if (component.back() == L'.' || component.back() == L' ') return false;
    return !IsDeviceName(component);
}
}  // namespace

bool IsPlainRelativePath(std::wstring_view storedPath) {
    if (storedPath.empty() || storedPath.size() > kMaxPath || IsSeparator(storedPath.front())) return false;
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < storedPath.size() && !IsSeparator(storedPath[end])) ++end;
        if (!IsPlainComponent(storedPath.substr(start, end - start))) return false;
        if (end == storedPath.size()) return true;
        start = end + 1;
    }
}

bool LandingPath(std::wstring_view storedPath, std::wstring& landing) {
    // A drive's root only at the very start; "C:name", relative to a drive's
    // current folder (or a file of that name from elsewhere), and a ":" anywhere
    // else are refused below.
    if (storedPath.size() >= 3 && storedPath[1] == L':' && IsSeparator(storedPath[2]) &&
        ((storedPath[0] >= L'A' && storedPath[0] <= L'Z') || (storedPath[0] >= L'a' && storedPath[0] <= L'z')))
        storedPath.remove_prefix(3);
    std::vector<std::wstring_view> kept;
    size_t start = 0;
    while (start <= storedPath.size()) {
        size_t end = start;
        while (end < storedPath.size() && !IsSeparator(storedPath[end])) ++end;
        std::wstring_view component = storedPath.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == L".") continue;
        if (component != L"..") {
            kept.push_back(component);
        } else if (kept.empty()) {
            return false;  // above the folder
        } else {
            kept.pop_back();
        }
    }
    landing.clear();
    for (std::wstring_view component : kept) {
        if (!landing.empty()) landing += L'\\';
        landing += component;
    }
    return IsPlainRelativePath(landing);
}
