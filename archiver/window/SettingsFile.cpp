#include "SettingsFile.h"

#include <algorithm>
#include <vector>

#include "archive/Handles.h"

DWORD ReadSettingsFile(const std::wstring& path, TSettingsRecord& record) {
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ::GetLastError();
    std::vector<uint8_t> data(kSettingsRecordSize);
    DWORD read = 0;
    if (!::ReadFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr)) return ::GetLastError();
    if (!ParseSettingsRecord(data.data(), read, record)) return ERROR_HANDLE_EOF;
    return 0;
}

std::wstring SettingsEntryText(const std::string& entry) {
    const std::string text = entry.substr(0, entry.find('\0'));
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::vector<std::wstring> ItemEntries(const TSettingsRecord& record) {
    std::vector<std::wstring> entries;
    for (size_t i = kFirstItemEntry; i <= kLastItemEntry; ++i) {
        std::wstring text = SettingsEntryText(record.Entries[i]);
        // Blanks and control characters alone name nothing: packed, they would
        // stand for the current folder.
        if (std::any_of(text.begin(), text.end(), [](wchar_t c) { return c > L' '; }))
            entries.push_back(std::move(text));
    }
    return entries;
}
