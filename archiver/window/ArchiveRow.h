#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "framework/Control.h"

// One item of a listed archive, as OnListfile reports it; the list shows it as a row.
struct TArchiveRow {
    std::wstring Filename;
    uint64_t Fileindex = 0;
    uint64_t FileSizeU = 0;
    uint64_t FileSizeP = 0;
    uint64_t Fileattr = 0;
    uint64_t Filecrc = 0;
    std::wstring_view Filemethod;
    double FileTime = 0;
};

// The rows of one listing, held compactly: each row one record of bytes, its
// numbers in as few bytes as their values need and its name in UTF-8, records one
// after another in blocks that never move, and each method once. Memory the
// process touches for the first time is what a million rows cost most, so the
// window holding them needs not much more than the listing itself. (Indices,
// attributes and CRCs are 32-bit in the archive. A name is only shown: one that is
// no valid UTF-16 shows a replacement character; the item is restored by its index.)
class TArchiveRows {
public:
    // An item as OnListfile reports it.
    void Add(std::wstring_view Filename, uint64_t Fileindex, uint64_t FileSizeU, uint64_t FileSizeP,
             uint64_t Fileattr, uint64_t Filecrc, std::wstring_view Filemethod, double FileTime);
    // Room for that many rows, when the listing says how many it has.
    void Reserve(size_t rows);
    size_t Count() const { return m_starts.size(); }
    // Out of range throws std::out_of_range.
    TArchiveRow Row(size_t index) const;
    void Clear();

private:
    static constexpr size_t kBlockLength = 65536;  // a record's start in its block fits 16 bits
    struct TBlock {
        std::unique_ptr<char[]> Bytes;  // a record longer than a block has one of its own
        size_t FirstRow;
    };
    uint32_t MethodIndex(std::wstring_view method);
    // Where the next row's record of that length goes.
    char* Room(size_t length);

    std::vector<TBlock> m_blocks;
    size_t m_used = 0;  // of the last block
    std::vector<uint16_t> m_starts;  // each row's record in its block
    std::string m_encoded;  // the name being added
    std::vector<std::wstring> m_methods;
    std::unordered_map<std::wstring, uint32_t> m_methodIndex;
};

// A plain directory (attributes exactly 16) has no row; a directory with other
// attribute bits has one.
bool HasRow(uint64_t Fileattr);

// The columns of the archive list, left to right, with what fills each.
struct TArchiveColumn {
    const wchar_t* Caption;
    int Width;
    TAlignment Alignment;
    std::wstring (*Cell)(const TArchiveRow& row, LCID locale);
};
extern const std::array<TArchiveColumn, 9> kArchiveColumns;
constexpr int kIdColumn = 7;

// The cell's text; dates and times in the locale's short date and long time formats.
std::wstring RowCell(const TArchiveRow& row, int column, LCID locale = LOCALE_USER_DEFAULT);
