#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "framework/Control.h"

// One item of a listed archive, as OnListfile reports it; the list shows it as a row.
struct TArchiveRow {
    std::wstring Filename;
    uint64_t Fileindex = 0;
    uint64_t FileSizeU = 0;
    uint64_t FileSizeP = 0;
    uint64_t Fileattr = 0;
    uint64_t Filecrc = 0;
    std::wstring Filemethod;
    double FileTime = 0;
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
