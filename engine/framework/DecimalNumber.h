#pragma once
#include <algorithm>
#include <climits>
#include <string_view>

// The nearest int: values beyond its range saturate.
inline int SaturateToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// A number in a stored text, read as C's atoi reads it: blanks skipped, an
// optional sign, digits up to the first other character; no digits give 0.
// Values beyond int saturate, where atoi's would be undefined.
inline int DecimalNumber(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; };
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Past INT_MAX + 1 the result is settled, whichever the sign.
    constexpr long long kBeyond = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), kBeyond);
    return SaturateToInt(negative ? -magnitude : magnitude);
}
