#include "AnsiPath.h"

#include <windows.h>

namespace {
// The start of the last character of a text, found as the system finds it.
const char* LastCharacter(const std::string& text) {
    const char* end = text.c_str() + text.size();
    return ::CharPrevA(text.c_str(), end);
}
}  // namespace

bool EndsWithBackslash(const std::string& path) {
    if (path.empty()) return false;
    const char* last = LastCharacter(path);
    return *last == '\\' && last + 1 == path.c_str() + path.size();
}

std::string WithTrailingBackslash(std::string path) {
    if (!EndsWithBackslash(path)) path += '\\';
    return path;
}

std::string WithoutTrailingBackslash(std::string path) {
    if (EndsWithBackslash(path)) path.pop_back();
    return path;
}

std::string LastPathComponent(const std::string& path) {
    const char* text = path.c_str();
    const char* end = text + path.size();
    const char* start = text;
    // CharNextA stops at a NUL byte; a value holding one ends there as a C string would.
    for (const char* at = text; at < end && *at != '\0'; at = ::CharNextA(at))
        if (*at == '\\' || *at == '/') start = at + 1;
    return std::string(start, static_cast<size_t>(end - start));
}

std::optional<std::wstring> WidenAnsi(std::string_view text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

std::optional<std::string> NarrowToAnsi(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    BOOL lossy = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return std::nullopt;
    std::string narrow(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, narrow.data(), length, nullptr, &lossy);
    if (lossy) return std::nullopt;
    return narrow;
}

std::wstring UpperCase(std::wstring text) {
    if (!text.empty()) ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}
