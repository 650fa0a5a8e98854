#include "LandedNames.h"

#include "WidePath.h"

void TLandedNames::Add(const std::wstring& path, uint32_t item) {
    m_byUpperHash[HashOfText(UpperCase(path))] = {HashOfText(path), item};
}

int64_t TLandedNames::CaseOnlyClash(const std::wstring& path) const {
    if (m_byUpperHash.empty()) return -1;
    // Two different names of a million share an upper-cased hash by chance about
    // once in thirty million extractions.
    auto found = m_byUpperHash.find(HashOfText(UpperCase(path)));
    if (found == m_byUpperHash.end() || found->second.exactHash == HashOfText(path)) return -1;
    return found->second.item;
}
