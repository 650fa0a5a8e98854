#include "ArchiveRow.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "archive/FileTimes.h"
#include "archive/ShownName.h"

namespace {
size_t NameStart(std::wstring_view path) {
    size_t separator = path.find_last_of(L"\\:");
    return separator == std::wstring::npos ? 0 : separator + 1;
}

std::wstring Decimal(uint64_t value) { return std::to_wstring(value); }

bool IsAscii(wchar_t c) { return c < 0x80; }

// Names are mostly ASCII, which needs no conversion. Others go as UTF-8 in which an
// unpaired surrogate takes three bytes as a paired one's code point would: every
// name comes back exactly as the archive holds it, for the check before a restore
// as much as for the list.
void EncodeUtf8(std::wstring_view text, std::string& bytes) {
    bytes.resize(text.size());
    if (std::all_of(text.begin(), text.end(), IsAscii)) {
        // Not assign(first, last), which makes a temporary string of each name.
        std::transform(text.begin(), text.end(), bytes.begin(), [](wchar_t c) { return static_cast<char>(c); });
        return;
    }
    bytes.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

std::wstring DecodeUtf8(std::string_view bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return IsAscii(static_cast<unsigned char>(c)); }))
        return std::wstring(bytes.begin(), bytes.end());
    std::wstring text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < bytes.size(); ++k) c = (c << 6) | (bytes[i + k] & 0x3F);
        i += length;
        if (c >= 0x10000) {
            text += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            text += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            text += static_cast<wchar_t>(c);
        }
    }
    return text;
}

// Names as they will be written, whatever they hold.
std::wstring NameCell(const TArchiveRow& row, LCID) {
    return ShownName(std::wstring_view(row.Filename).substr(NameStart(row.Filename)));
}
std::wstring DirectoryCell(const TArchiveRow& row, LCID) {
    return ShownName(std::wstring_view(row.Filename).substr(0, NameStart(row.Filename)));
}
std::wstring AttrCell(const TArchiveRow& row, LCID) { return Decimal(row.Fileattr); }
std::wstring PackedCell(const TArchiveRow& row, LCID) { return Decimal(row.FileSizeP); }
std::wstring SizeCell(const TArchiveRow& row, LCID) { return Decimal(row.FileSizeU); }
std::wstring MethodCell(const TArchiveRow& row, LCID) { return std::wstring(row.Filemethod); }
std::wstring IdCell(const TArchiveRow& row, LCID) { return Decimal(row.Fileindex); }

std::wstring CrcCell(const TArchiveRow& row, LCID) {
    std::wstring text(8, L'0');
    for (int digit = 7, shift = 0; digit >= 0; --digit, shift += 4)
        text[static_cast<size_t>(digit)] = L"0123456789ABCDEF"[(row.Filecrc >> shift) & 0xF];
    return text;
}

std::wstring DateTimeCell(const TArchiveRow& row, LCID locale) {
    // The date is local time already; to whole milliseconds, so that a time on a
    // full second does not show the second before.
    const double milliseconds = std::round((row.FileTime - kFileTimeEpochDate) * 86400000.0);
    if (!(milliseconds >= 0 && milliseconds < 9.2e14)) return {};
    ULARGE_INTEGER ticks{};
    ticks.QuadPart = static_cast<uint64_t>(milliseconds) * 10000;
    FILETIME time{ticks.LowPart, ticks.HighPart};
    SYSTEMTIME parts{};
    if (!::FileTimeToSystemTime(&time, &parts)) return {};
    wchar_t date[128] = {}, clock[128] = {};
    if (!::GetDateFormatW(locale, DATE_SHORTDATE, &parts, nullptr, date, 128)) return {};
    if (!::GetTimeFormatW(locale, 0, &parts, nullptr, clock, 128)) return date;
    return std::wstring(date) + L" " + clock;
}

constexpr TAlignment kLeft = TAlignment::taLeftJustify;
constexpr TAlignment kRight = TAlignment::taRightJustify;
}  // namespace

bool HasRow(uint64_t Fileattr) { return Fileattr != FILE_ATTRIBUTE_DIRECTORY; }

const std::array<TArchiveColumn, 9> kArchiveColumns = {{
    {L"Nazwa", 130, kLeft, NameCell},
    {L"Katalog", 110, kLeft, DirectoryCell},
    {L"Attr", 30, kLeft, AttrCell},
    {L"Rozmiar po", 80, kRight, PackedCell},
    {L"Rozmiar przed", 90, kRight, SizeCell},
    {L"CRC", 83, kLeft, CrcCell},
    {L"Metoda", 60, kLeft, MethodCell},
    {L"ID", 30, kRight, IdCell},
    {L"Data/Czas", 120, kLeft, DateTimeCell},
}};

std::wstring RowCell(const TArchiveRow& row, int column, LCID locale) {
    if (column < 0 || column >= static_cast<int>(kArchiveColumns.size())) return {};
    return kArchiveColumns[static_cast<size_t>(column)].Cell(row, locale);
}

namespace {
// The record of a row: index, attributes, sizes and method as base-128 numbers,
// then the CRC and the time as they are, then the name.
constexpr size_t kLongestHead = 5 + 5 + 10 + 10 + 5 + 4 + 8;

char* PutNumber(char* out, uint64_t value) {
    for (; value >= 0x80; value >>= 7) *out++ = static_cast<char>(0x80 | (value & 0x7F));
    *out++ = static_cast<char>(value);
    return out;
}

template <class Value>
char* PutBytes(char* out, Value value) {
    std::memcpy(out, &value, sizeof value);
    return out + sizeof value;
}

uint64_t TakeNumber(const char*& in) {
    uint64_t value = 0;
    for (unsigned shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*in++);
        value |= static_cast<uint64_t>(byte & 0x7F) << shift;
        if (byte < 0x80) return value;
    }
}

template <class Value>
Value TakeBytes(const char*& in) {
    Value value;
    std::memcpy(&value, in, sizeof value);
    in += sizeof value;
    return value;
}
}  // namespace

void TArchiveRows::Add(std::wstring_view Filename, uint64_t Fileindex, uint64_t FileSizeU, uint64_t FileSizeP,
                       uint64_t Fileattr, uint64_t Filecrc, std::wstring_view Filemethod, double FileTime) {
    char head[kLongestHead];
    char* end = PutNumber(head, static_cast<uint32_t>(Fileindex));
    end = PutNumber(end, static_cast<uint32_t>(Fileattr));
    end = PutNumber(end, FileSizeU);
    end = PutNumber(end, FileSizeP);
    end = PutNumber(end, MethodIndex(Filemethod));
    end = PutBytes(end, static_cast<uint32_t>(Filecrc));
    end = PutBytes(end, FileTime);
    EncodeUtf8(Filename, m_encoded);
    m_record.assign(head, end);
    m_record += m_encoded;
    m_records.Add(m_record);
}

void TArchiveRows::Reserve(size_t rows) { m_records.Reserve(rows); }

uint32_t TArchiveRows::MethodIndex(std::wstring_view method) {
    // An archive uses a method or two for all its items: the last one is the likely one.
    if (!m_methods.empty() && m_methods.back() == method) return static_cast<uint32_t>(m_methods.size() - 1);
    auto [found, added] = m_methodIndex.try_emplace(std::wstring(method), static_cast<uint32_t>(m_methods.size()));
    if (added) m_methods.emplace_back(method);
    return found->second;
}

TArchiveRow TArchiveRows::Row(size_t index) const {
    const std::string_view record = m_records.View(index);
    const char* in = record.data();
    TArchiveRow row;
    row.Fileindex = TakeNumber(in);
    row.Fileattr = TakeNumber(in);
    row.FileSizeU = TakeNumber(in);
    row.FileSizeP = TakeNumber(in);
    row.Filemethod = m_methods[TakeNumber(in)];
    row.Filecrc = TakeBytes<uint32_t>(in);
    row.FileTime = TakeBytes<double>(in);
    row.Filename = DecodeUtf8({in, static_cast<size_t>(record.data() + record.size() - in)});
    return row;
}

void TArchiveRows::Clear() {
    m_records.Clear();
    m_methods.clear();
    m_methodIndex.clear();
}
