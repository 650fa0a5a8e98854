#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

// Strings one after another in blocks that never move, each read back by its
// number: a million short strings cost little more than their characters (no
// allocation of its own for each, two bytes of index), and the store grows
// without copying them.
template <class Char>
class TTextBlocks {
public:
    void Add(std::basic_string_view<Char> text) {
        if (text.size() > UINT32_MAX) throw std::length_error("TTextBlocks: string too long");
        // A string starts where 16 bits reach; one longer than a block gets a block of its own size.
        if (m_blocks.empty() || m_blocks.back().Used >= kBlockLength ||
            text.size() > kBlockLength - m_blocks.back().Used)
            m_blocks.push_back(
                {std::make_unique_for_overwrite<Char[]>(std::max(kBlockLength, text.size())), m_starts.size(), 0});
        TBlock& block = m_blocks.back();
        std::copy(text.begin(), text.end(), block.Text.get() + block.Used);
        m_starts.push_back(static_cast<uint16_t>(block.Used));
        block.Used += text.size();
    }
    void Clear() {
        m_starts = decltype(m_starts)();
        m_blocks = decltype(m_blocks)();
    }
    // Room for that many strings, when it is known beforehand.
    void Reserve(size_t count) { m_starts.reserve(count); }
    size_t Count() const { return m_starts.size(); }
    // Valid until Clear; out of range throws std::out_of_range.
    std::basic_string_view<Char> View(size_t index) const {
        if (index >= m_starts.size()) throw std::out_of_range("TTextBlocks: no such string");
        const auto next = std::upper_bound(m_blocks.begin(), m_blocks.end(), index,
                                           [](size_t item, const TBlock& block) { return item < block.FirstItem; });
        const TBlock& block = *std::prev(next);
        const bool lastOfBlock = index + 1 == m_starts.size() || (next != m_blocks.end() && next->FirstItem == index + 1);
        const size_t end = lastOfBlock ? block.Used : m_starts[index + 1];
        return {block.Text.get() + m_starts[index], end - m_starts[index]};
    }

private:
    static constexpr size_t kBlockLength = 65536 / sizeof(Char);
    struct TBlock {
        std::unique_ptr<Char[]> Text;
        size_t FirstItem;
        size_t Used;
    };
    std::vector<TBlock> m_blocks;
    std::vector<uint16_t> m_starts;  // each string's in its block
};
