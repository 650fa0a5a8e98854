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
    // Of the archive's first `count` items; one whose path the library cannot give
    // is found by no name.
    TItemNameIndex(IInArchive* archive, uint32_t count);
    // The first item whose stored path equals the name ignoring case, or -1.
    int64_t Find(const std::wstring& name) const;

private:
    bool UpperPathOf(uint32_t index, std::wstring& path) const;

    IInArchive* m_archive;
    std::vector<std::pair<uint64_t, uint32_t>> m_items;  // (hash of the upper-cased path, index), sorted
};
