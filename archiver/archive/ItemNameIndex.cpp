#include "ItemNameIndex.h"

#include <algorithm>

#include "PropVariant.h"
#include "WidePath.h"

TItemNameIndex::TItemNameIndex(IInArchive* archive) : m_archive(archive) {
    UINT32 count = 0;
    m_archive->GetNumberOfItems(&count);
    count = std::min<UINT32>(count, INT32_MAX);
    m_items.reserve(count);
    for (UINT32 i = 0; i < count; ++i) m_items.emplace_back(HashOfText(UpperPathOf(i)), i);
    std::sort(m_items.begin(), m_items.end());
}

std::wstring TItemNameIndex::UpperPathOf(uint32_t index) const {
    PropVariant path;
    m_archive->GetProperty(index, sevenzip::kpidPath, path.Receive());
    return UpperCase(path.AsString());
}

int64_t TItemNameIndex::Find(const std::wstring& name) const {
    const std::wstring wanted = UpperCase(name);
    const uint64_t hash = HashOfText(wanted);
    // Items of one hash lie in index order: the first that matches is the first item.
    auto item = std::lower_bound(m_items.begin(), m_items.end(), std::make_pair(hash, uint32_t{0}));
    for (; item != m_items.end() && item->first == hash; ++item)
        if (UpperPathOf(item->second) == wanted) return item->second;
    return -1;
}
