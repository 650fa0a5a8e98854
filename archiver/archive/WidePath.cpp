#include "WidePath.h"

#include <windows.h>

#include <limits>

std::wstring UpperCase(std::wstring text) {
    if (!text.empty()) ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

namespace {
size_t FileNameStart(const std::wstring& path) {
    size_t delimiter = path.find_last_of(L"\\:");
    return delimiter == std::wstring::npos ? 0 : delimiter + 1;
}

size_t ExtensionStart(const std::wstring& path) {
    size_t dot = path.rfind(L'.');
    return dot == std::wstring::npos || dot < FileNameStart(path) ? std::wstring::npos : dot;
}
}  // namespace

std::wstring FileNamePart(const std::wstring& path) { return path.substr(FileNameStart(path)); }

std::wstring DirectoryPart(const std::wstring& path) { return path.substr(0, FileNameStart(path)); }

std::wstring ExtensionOf(const std::wstring& path) {
    size_t dot = ExtensionStart(path);
    return dot == std::wstring::npos ? std::wstring() : path.substr(dot);
}

std::wstring WithoutExtension(const std::wstring& path) { return path.substr(0, ExtensionStart(path)); }

std::wstring ChangeExtension(const std::wstring& path, const std::wstring& extension) {
    return WithoutExtension(path) + extension;
}

std::wstring WithTrailingBackslash(const std::wstring& path) {
    if (path.empty() || path.back() == L'\\') return path;
    return path + L'\\';
}

std::wstring VolumeNumber(uint64_t number) {
    std::wstring digits = std::to_wstring(number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), L'0');
    return digits;
}

uint64_t HashOfText(const std::wstring& text) {
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : text) hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
    return hash;
}

bool ParseDecimal(const std::wstring& text, int64_t& value) {
    if (text.empty()) return false;
    uint64_t magnitude = 0;
    constexpr uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        uint64_t digit = static_cast<uint64_t>(c - L'0');
        if (magnitude > (limit - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    value = static_cast<int64_t>(magnitude);
    return true;
}

bool ParseSignedDecimal(const std::wstring& text, int64_t& value) {
    const bool negative = !text.empty() && text[0] == L'-';
    const bool hasSign = negative || (!text.empty() && text[0] == L'+');
    int64_t magnitude = 0;
    if (!ParseDecimal(hasSign ? text.substr(1) : text, magnitude)) return false;
    value = negative ? -magnitude : magnitude;
    return true;
}
