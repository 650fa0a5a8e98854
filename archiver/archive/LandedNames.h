#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>

// The files one extraction has put in place. On a file system that ignores case
// a later item whose name differs from one of them only in case would land in the
// same file and replace it. Each name is kept as two hashes (of the name
// upper-cased, and as it is) with its item, so that a million restored files cost
// tens of megabytes rather than their names.
class TLandedNames {
public:
    void Add(const std::wstring& path, uint32_t item);
    // The item of an earlier file whose name equals the path ignoring case but not
    // as it is, or -1. The same name again is no clash: it is that file.
    int64_t CaseOnlyClash(const std::wstring& path) const;

private:
    struct TLanded {
        uint64_t exactHash;
        uint32_t item;
    };
    std::unordered_map<uint64_t, TLanded> m_byUpperHash;
};
