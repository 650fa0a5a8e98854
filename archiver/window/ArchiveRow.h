#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "framework/Control.h"

// One item of a listed archive, as OnListfile reports it; the list shows it as a row.
struct TArchiveRow {
    std::wstring_view Filename;
    uint64_t Fileindex = 0;
    uint64_t FileSizeU = 0;
    uint64_t FileSizeP = 0;
    uint64_t Fileattr = 0;
    uint64_t Filecrc = 0;
    std::wstring_view Filemethod;
    double FileTime = 0;
};

// The rows of one listing, held compactly: the names one after another in one
// buffer and each method once, so that a hundred thousand rows cost little more
// than the listing itself. A row read back is valid until the next Add.
class TArchiveRows {
public:
    void Add(const TArchiveRow& row);
    // Room for that many rows, when the listing says how many it has.
    void Reserve(size_t rows);
    size_t Count() const { return m_rows.size(); }
    TArchiveRow Row(size_t index) const;
    void Clear();

private:
    struct TStored {
        size_t NameStart;
        uint32_t NameLength;
        uint32_t Method;
        uint64_t Fileindex, FileSizeU, FileSizeP, Fileattr, Filecrc;
        double FileTime;
    };
    uint32_t MethodIndex(std::wstring_view method);

    std::vector<TStored> m_rows;
    std::wstring m_names;
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
