#include "ItemNameIndex.h"

#include <algorithm>

#include "ItemProperty.h"
#include "PropVariant.h"
#include "WidePath.h"

TItemNameIndex::TItemNameIndex(IInArchive* archive, uint32_t count) : m_archive(archive) {
    m_items.reserve(count);
    std::wstring path;
    for (UINT32 i = 0; i < count; ++i)
        if (UpperPathOf(i, path)) m_items.emplace_back(HashOfText(path), i);
    std::sort(m_items.begin(), m_items.end());
}

bool TItemNameIndex::UpperPathOf(uint32_t index, std::wstring& path) const {
    PropVariant value;
    if (!ReadItemProperty(m_archive, index, sevenzip::kpidPath, value)) return false;
    path = UpperCase(value.AsString());
    return true;
}

int64_t TItemNameIndex::Find(const std::wstring& name) const {
    const std::wstring wanted = UpperCase(name);
    const uint64_t hash = HashOfText(wanted);
    // Items of one hash lie in index order: the first that matches is the first item.
    auto item = std::lower_bound(m_items.begin(), m_items.end(), std::make_pair(hash, uint32_t{0}));
    std::wstring path;
    for (; item != m_items.end() && item->first == hash; ++item)
        if (UpperPathOf(item->second, path) && path == wanted) return item->second;
    return -1;
}
