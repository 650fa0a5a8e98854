#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <tuple>

#include "archive/FileTimes.h"
#include "window/ArchiveRow.h"

namespace {
constexpr LCID kPolish = MAKELCID(MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT), SORT_DEFAULT);

TArchiveRow Row(std::wstring_view name) {
    TArchiveRow row;
    row.Filename = name;
    row.Fileindex = 12;
    row.FileSizeU = 5368709120ull;  // 5 GiB
    row.FileSizeP = 1234;
    row.Fileattr = 32;
    row.Filecrc = 0x1A2B;
    row.Filemethod = L"LZMA2:24";
    return row;
}

// The date of a local time, as List gives it.
double LocalDate(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME parts{static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day),
                     static_cast<WORD>(hour), static_cast<WORD>(minute), static_cast<WORD>(second), 0};
    FILETIME local{}, utc{};
    ::SystemTimeToFileTime(&parts, &local);
    ::LocalFileTimeToFileTime(&local, &utc);
    return FileTimeToLocalDate(utc);
}
}  // namespace

TEST(ArchiveRow, CellsSplitThePathAndShowNumbersCrcAndMethod) {
    TArchiveRow row = Row(L"dokumenty\\zażółć\\raport.txt");
    EXPECT_EQ(RowCell(row, 0), L"raport.txt");
    EXPECT_EQ(RowCell(row, 1), L"dokumenty\\zażółć\\");
    EXPECT_EQ(RowCell(row, 2), L"32");
    EXPECT_EQ(RowCell(row, 3), L"1234");
    EXPECT_EQ(RowCell(row, 4), L"5368709120");
    EXPECT_EQ(RowCell(row, 5), L"00001A2B");
    EXPECT_EQ(RowCell(row, 6), L"LZMA2:24");
    EXPECT_EQ(RowCell(row, 7), L"12");
    EXPECT_EQ(RowCell(row, 9), L"");

    row = Row(L"C:plik");
    row.Filecrc = 0xDEADBEEF;
    EXPECT_EQ(RowCell(row, 0), L"plik");
    EXPECT_EQ(RowCell(row, 1), L"C:");
    EXPECT_EQ(RowCell(row, 5), L"DEADBEEF");
    EXPECT_EQ(RowCell(Row(L"README.txt"), 1), L"");
}

// Every character that would not show, or would reorder or hide what is written,
// is shown by its code; blanks where they are easy to miss too. Everything else,
// letters of right-to-left scripts and characters beyond the first plane
// included, is shown as it is.
TEST(ArchiveRow, NamesAreShownAsTheyWillBeWritten) {
    const std::wstring blanks60(60, L' ');
    const std::tuple<std::wstring, std::wstring, std::wstring> cases[] = {
        {L"invoice\u202Etxt.exe", L"invoice<U+202E>txt.exe", L""},
        {L"\u202A\u202B\u202C\u202D.txt", L"<U+202A><U+202B><U+202C><U+202D>.txt", L""},
        {L"a\u2066b\u2067c\u2068d\u2069.txt", L"a<U+2066>b<U+2067>c<U+2068>d<U+2069>.txt", L""},
        {L"ab\u200B\u200B\u200B\u200C\u200D\u200E\u200F.txt", L"ab<U+200B\u00D73><U+200C><U+200D><U+200E><U+200F>.txt", L""},
        {L"\uFEFFa\u2060\u00AD\u061C\u180E\u034F\uFE0F", L"<U+FEFF>a<U+2060><U+00AD><U+061C><U+180E><U+034F><U+FE0F>", L""},
        {L"tag\U000E0041\U000E007F.txt", L"tag<U+E0041><U+E007F>.txt", L""},
        {L"a\tb\x7F\x85\u2028", L"a<U+0009>b<U+007F><U+0085><U+2028>", L""},
        {L"a\u00A0b\u3000c\u2800\u3164", L"a<U+00A0>b<U+3000>c<U+2800><U+3164>", L""},
        {L"bad\xD800x\xDC00\uFFFF\U0001FFFE", L"bad<U+D800>x<U+DC00><U+FFFF><U+1FFFE>", L""},
        {L"report.txt" + blanks60 + L".exe", L"report.txt<U+0020\u00D760>.exe", L""},
        {L" dir \\ notes.txt ", L"<U+0020>notes.txt<U+0020>", L"<U+0020>dir<U+0020>\\"},
        {L"my file.txt", L"my file.txt", L""},
        {L"a<U+202E>.txt", L"a<U+003C>U+202E>.txt", L""},
        {L"katalog\\\u05E9\u05DC\u05D5\u05DD \U0001F600 za\u017C\u00F3\u0142\u0107.txt",
         L"\u05E9\u05DC\u05D5\u05DD \U0001F600 za\u017C\u00F3\u0142\u0107.txt", L"katalog\\"},
        {std::wstring(300, L'x') + L"\u202E", std::wstring(300, L'x') + L"<U+202E>", L""},
    };
    for (const auto& [stored, name, directory] : cases) {
        const TArchiveRow row = Row(stored);
        EXPECT_EQ(RowCell(row, 0), name);
        EXPECT_EQ(RowCell(row, 1), directory);
    }
}

TEST(ArchiveRow, DateAndTimeInTheLocalesShortDateAndLongTimeFormats) {
    TArchiveRow row = Row(L"a.txt");
    row.FileTime = LocalDate(2026, 12, 8, 14, 5, 10);
    EXPECT_EQ(RowCell(row, 8, kPolish), L"8.12.2026 14:05:10");
    row.FileTime = kFileTimeEpochDate;  // an item without a time
    EXPECT_EQ(RowCell(row, 8, kPolish), L"1.01.1601 00:00:00");
    row.FileTime = -1e300;
    EXPECT_EQ(RowCell(row, 8, kPolish), L"");
}

TEST(ArchiveRow, OnlyPlainDirectoriesHaveNoRow) {
    EXPECT_FALSE(HasRow(16));
    EXPECT_TRUE(HasRow(48));  // a directory with the archive bit
    EXPECT_TRUE(HasRow(32));
    EXPECT_TRUE(HasRow(0x10 | 0x8000 | (0755u << 16)));  // a directory packed on Unix
}

// Numbers at the edges of their sizes, names from none to longer than a block of
// the store, and rows enough to fill many blocks: each comes back bit for bit.
TEST(ArchiveRow, TheRowStoreKeepsEdgeValuesAndLongNamesExactly) {
    const TArchiveRow cases[] = {
        {L"", 0, 0, 0, 0, 0, L"", 0.0},
        {L"a", 127, 127, 128, 127, 0xFFFFFFFF, L"Copy", -1.5},
        {L"dir\\ż", 128, 16383, 16384, FILE_ATTRIBUTE_DIRECTORY | 0x8000 | (0755u << 16), 0x80, L"LZMA2:24", 46000.123},
        {std::wstring(70000, L'x'), 0xFFFFFFFF, UINT64_MAX, UINT64_MAX - 1, 0xFFFFFFFF, 0x7F, L"Copy", 1e300},
        {L"bad\xD800half\xDC00\U0001F600", 5, 5, 5, 32, 5, L"Copy", 5.0},
        {std::wstring(40000, L'ł'), 1u << 31, 1ull << 63, 1ull << 35, 32, 0x1A2B3C4D, L"BCJ2 LZMA:24", std::nan("")},
    };
    // All but the name, whose text would flood a failure's report.
    const auto fields = [](const TArchiveRow& row) {
        return std::make_tuple(row.Fileindex, row.FileSizeU, row.FileSizeP, row.Fileattr, row.Filecrc,
                               std::wstring(row.Filemethod), std::bit_cast<uint64_t>(row.FileTime));
    };
    TArchiveRows rows;
    constexpr int kRounds = 40;  // the long names alone fill a block each time
    for (int round = 0; round < kRounds; ++round)
        for (const TArchiveRow& c : cases)
            rows.Add(c.Filename, c.Fileindex, c.FileSizeU, c.FileSizeP, c.Fileattr, c.Filecrc, c.Filemethod,
                     c.FileTime);
    ASSERT_EQ(rows.Count(), kRounds * std::size(cases));
    for (size_t i = 0; i < rows.Count(); ++i) {
        const TArchiveRow& c = cases[i % std::size(cases)];
        const TArchiveRow row = rows.Row(i);
        EXPECT_TRUE(row.Filename == c.Filename) << i;
        EXPECT_EQ(fields(row), fields(c)) << i;
    }
    EXPECT_THROW(rows.Row(rows.Count()), std::out_of_range);
    rows.Clear();
    EXPECT_EQ(rows.Count(), 0u);
}
