#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The rules that keep one restore from writing where it must not: no file of the
// archive being read is replaced, whatever name leads to it (another spelling, a
// short name, a link), and no file is written twice in one run (the same name, one
// that differs in case, a short name or any other name of it). Both go by file
// numbers (FileIdentity.h): an output that exists already is compared with the
// archive's files and with the files this run has put in place, at the cost of a
// look at that one file; an output that did not exist can be neither and costs
// nothing.
class TRestoredFiles {
public:
    // A file of the archive (one volume), before anything is written.
    void AddArchiveFile(const std::wstring& name);

    struct TVerdict {
        int32_t Code = 0;          // 0: the file may be replaced; else the error
        std::wstring ArchiveFile;  // the archive's file it is (error 11)
        uint32_t EarlierItem = 0;  // the item that wrote it (error 16)
    };
    // What may become of the existing file at the path.
    TVerdict MayReplace(const std::wstring& path) const;
    // The item's file, by its number, is in place; a file without a number is
    // not kept.
    void Restored(uint64_t number, uint32_t item);

private:
    std::vector<std::pair<uint64_t, std::wstring>> m_archiveFiles;
    std::unordered_map<uint64_t, uint32_t> m_restored;  // file number, item
};
