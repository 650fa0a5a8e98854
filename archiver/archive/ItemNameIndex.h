#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "SevenZipInterfaces.h"

// The items of an open archive by stored path, compared without regard to case:
// made once, so that each of thousands of names chosen for Extract costs a
// lookup instead of a pass over a million items.
class TItemNameIndex {
public:
    explicit TItemNameIndex(IInArchive* archive);
    // The first item whose stored path equals the name ignoring case, or -1.
    int64_t Find(const std::wstring& name) const;

private:
    std::wstring UpperPathOf(uint32_t index) const;

    IInArchive* m_archive;
    std::vector<std::pair<uint64_t, uint32_t>> m_items;  // (hash of the upper-cased path, index), sorted
};
