#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archive/TextBlocks.h"
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
// numbers in as few bytes as their values need and its name in UTF-8, in the
// text store the component keeps its names in, and each method once. Memory the
// process touches for the first time is what a million rows cost most, so the
// window holding them needs not much more than the listing itself. (Indices,
// attributes and CRCs are 32-bit in the archive.) A row's name is the item's stored
// path exactly, unpaired surrogates included: the restore checks the archive's
// items against it.
class TArchiveRows {
public:
    // An item as OnListfile reports it.
    void Add(std::wstring_view Filename, uint64_t Fileindex, uint64_t FileSizeU, uint64_t FileSizeP,
             uint64_t Fileattr, uint64_t Filecrc, std::wstring_view Filemethod, double FileTime);
    // Room for that many rows, when the listing says how many it has.
    void Reserve(size_t rows);
    size_t Count() const { return m_records.Count(); }
    // Out of range throws std::out_of_range.
    TArchiveRow Row(size_t index) const;
    void Clear();

private:
    uint32_t MethodIndex(std::wstring_view method);

    TTextBlocks<char> m_records;
    std::string m_encoded;  // the name being added
    std::string m_record;   // the record being added
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
