#pragma once
#include <string>
#include <string_view>

// The engine's texts pass through fixed buffers whose sizes stored files and
// peers rely on (a name of 255 bytes holds 254 characters). FitBuffer gives what
// such a buffer would hold: the text cut to bufferBytes - 1 characters, and cut
// at an embedded NUL as a C string would be.
inline std::string FitBuffer(std::string_view text, size_t bufferBytes) {
    std::string_view fitted = text.substr(0, text.find('\0'));
    if (bufferBytes == 0) return {};
    return std::string(fitted.substr(0, bufferBytes - 1));
}

// Every non-overlapping occurrence of `from`, left to right; inserted text is
// not scanned again.
inline std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string result;
    size_t start = 0;
    for (size_t hit; (hit = text.find(from, start)) != std::string_view::npos; start = hit + from.size()) {
        result.append(text.substr(start, hit - start));
        result.append(to);
    }
    result.append(text.substr(start));
    return result;
}
