#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A list of wide strings read by index 0..Count()-1: the component's input of
// Add and Extract and the output of List.
class TWideStringList {
public:
    void Add(const std::wstring& text) { m_items.push_back(text); }
    void Clear() {
        m_items.clear();
        m_items.shrink_to_fit();
    }
    int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
    const std::wstring& operator[](int32_t index) const { return m_items.at(static_cast<size_t>(index)); }
    std::wstring& operator[](int32_t index) { return m_items.at(static_cast<size_t>(index)); }

private:
    std::vector<std::wstring> m_items;
};

using TWideStringArray = std::vector<std::wstring>;
