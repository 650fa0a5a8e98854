#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

// Strings one after another in blocks that never move, each read back by its
// number: a million short strings cost little more than their characters (no
// allocation of its own for each), and the store grows without copying them.
template <class Char>
class TTextBlocks {
public:
    void Add(std::basic_string_view<Char> text) {
        if (text.size() > UINT32_MAX) throw std::length_error("TTextBlocks: string too long");
        if (m_blocks.empty() || text.size() > kBlockLength - m_used) {
            // A string longer than a block gets one of its own size.
            m_blocks.push_back(std::make_unique_for_overwrite<Char[]>(std::max(kBlockLength, text.size())));
            m_used = 0;
        }
        std::copy(text.begin(), text.end(), m_blocks.back().get() + m_used);
        m_items.push_back({static_cast<uint32_t>(m_blocks.size() - 1), static_cast<uint32_t>(m_used),
                           static_cast<uint32_t>(text.size())});
        m_used = std::min(m_used + text.size(), kBlockLength);  // a block of its own is full
    }
    void Clear() {
        m_items = decltype(m_items)();
        m_blocks = decltype(m_blocks)();
        m_used = 0;
    }
    // Room for that many strings, when it is known beforehand.
    void Reserve(size_t count) { m_items.reserve(count); }
    size_t Count() const { return m_items.size(); }
    // Valid until Clear; out of range throws std::out_of_range.
    std::basic_string_view<Char> View(size_t index) const {
        const TItem& item = m_items.at(index);
        return {m_blocks[item.Block].get() + item.Start, item.Length};
    }

private:
    static constexpr size_t kBlockLength = 65536 / sizeof(Char);
    struct TItem {
        uint32_t Block, Start, Length;
    };
    std::vector<std::unique_ptr<Char[]>> m_blocks;
    size_t m_used = 0;  // of the last block
    std::vector<TItem> m_items;
};
