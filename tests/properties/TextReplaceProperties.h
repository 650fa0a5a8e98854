#pragma once
// Properties of the engine's text replacement (the product tokens of language
// texts go through it), checked by the seeded harness and by the native fuzzing
// target alike, against a plain split-and-join.
#include <string>
#include <string_view>

#include "framework/FixedText.h"

namespace TextReplaceProperties {
inline std::string SplitAndJoin(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    size_t i = 0;
    while (i < text.size()) {
        if (!from.empty() && text.compare(i, from.size(), from) == 0) {
            result += to;
            i += from.size();
        } else {
            result += text[i++];
        }
    }
    return result;
}

inline std::string Check(std::string_view text, std::string_view from, std::string_view to) {
    if (ReplaceAll(text, from, to) != SplitAndJoin(text, from, to)) return "replacement differs from split and join";
    for (size_t size : {size_t{0}, size_t{1}, size_t{255}, size_t{256}}) {
        const std::string fitted = FitBuffer(text, size);
        const std::string_view expected = text.substr(0, text.find('\0'));
        if (fitted.size() > (size == 0 ? 0 : size - 1) || expected.compare(0, fitted.size(), fitted) != 0)
            return "a fitted text is no prefix of its C string, or too long";
    }
    return {};
}
}  // namespace TextReplaceProperties
