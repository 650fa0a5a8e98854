#include "ShownName.h"

#include <algorithm>

namespace {
struct TRange {
    char32_t First, Last;
};

// Sorted, not overlapping.
constexpr TRange kShownByCode[] = {
    {0x0000, 0x001F}, {0x007F, 0x009F}, {0x00A0, 0x00A0}, {0x00AD, 0x00AD}, {0x034F, 0x034F},
    {0x0600, 0x0605}, {0x061C, 0x061C}, {0x06DD, 0x06DD}, {0x070F, 0x070F}, {0x0890, 0x0891},
    {0x08E2, 0x08E2}, {0x115F, 0x1160}, {0x1680, 0x1680}, {0x17B4, 0x17B5}, {0x180B, 0x180F},
    {0x2000, 0x200F}, {0x2028, 0x202F}, {0x205F, 0x2064}, {0x2066, 0x206F}, {0x2800, 0x2800},
    {0x3000, 0x3000}, {0x3164, 0x3164}, {0xD800, 0xDFFF}, {0xFDD0, 0xFDEF}, {0xFE00, 0xFE0F},
    {0xFEFF, 0xFEFF}, {0xFFA0, 0xFFA0}, {0xFFF9, 0xFFFB}, {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
    {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE007F}, {0xE0100, 0xE01EF},
};

bool IsShownByCode(char32_t c) {
    if (c == U'<' || (c & 0xFFFE) == 0xFFFE) return true;  // noncharacters end every plane
    if (c > 0x20 && c < 0x7F) return false;
    const TRange* range = std::upper_bound(std::begin(kShownByCode), std::end(kShownByCode), c,
                                           [](char32_t value, const TRange& r) { return value < r.First; });
    return range != std::begin(kShownByCode) && c <= std::prev(range)->Last;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The code point at `at` and the units it takes; an unpaired surrogate is itself.
char32_t CodePointAt(std::wstring_view text, size_t at, size_t& units) {
    const char32_t first = text[at];
    units = 1;
    if (first >= 0xD800 && first <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
        text[at + 1] <= 0xDFFF) {
        units = 2;
        return 0x10000 + ((first - 0xD800) << 10) + (text[at + 1] - 0xDC00);
    }
    return first;
}

void AppendCode(std::wstring& shown, char32_t c, size_t count) {
    wchar_t digits[8];
    int length = 0;
    for (char32_t value = c; length < 4 || value != 0; value >>= 4) digits[length++] = L"0123456789ABCDEF"[value & 0xF];
    shown += L"<U+";
    while (length > 0) shown += digits[--length];
    if (count > 1) shown += L"\u00D7" + std::to_wstring(count);
    shown += L'>';
}
}  // namespace

std::wstring ShownName(std::wstring_view name) {
    // Most names hold nothing to show otherwise: no blank, no "<", nothing beyond ASCII.
    if (std::all_of(name.begin(), name.end(), [](wchar_t c) { return c > 0x20 && c < 0x7F && c != L'<'; }))
        return std::wstring(name);
    std::wstring shown;
    shown.reserve(name.size() + 16);
    for (size_t at = 0; at < name.size();) {
        size_t units = 0;
        const char32_t c = CodePointAt(name, at, units);
        // The run of this character.
        size_t end = at + units, count = 1;
        for (size_t next = 0; end < name.size() && CodePointAt(name, end, next) == c; end += next) ++count;
        const bool byCode = c == U' ' ? count > 1 || at == 0 || IsSeparator(name[at - 1]) || end == name.size() ||
                                            IsSeparator(name[end])
                                      : IsShownByCode(c);
        if (byCode)
            AppendCode(shown, c, count);
        else
            shown.append(name.substr(at, end - at));
        at = end;
    }
    return shown;
}
