#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "TextBlocks.h"

// A list of wide strings read by index 0..Count()-1: the component's input of
// Add and Extract and the output of List, which may hold a million stored paths.
class TWideStringList {
public:
    void Add(std::wstring_view text) { m_strings.Add(text); }
    void Clear() { m_strings.Clear(); }
    void Reserve(size_t count) { m_strings.Reserve(count); }
    int32_t Count() const { return static_cast<int32_t>(m_strings.Count()); }
    // A copy; out of range throws std::out_of_range.
    std::wstring operator[](int32_t index) const { return std::wstring(m_strings.View(static_cast<size_t>(index))); }

private:
    TTextBlocks<wchar_t> m_strings;
};

using TWideStringArray = std::vector<std::wstring>;
