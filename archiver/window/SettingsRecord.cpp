#include "SettingsRecord.h"

#include <algorithm>

bool ParseSettingsRecord(const uint8_t* data, size_t size, TSettingsRecord& record) {
    if (data == nullptr || size < kSettingsRecordSize) return false;
    for (size_t i = 0; i < kSettingsEntryCount; ++i) {
        const uint8_t* entry = data + i * kSettingsEntrySize;
        const size_t length = std::min<size_t>(entry[0], kSettingsTextSize);
        record.Entries[i].assign(reinterpret_cast<const char*>(entry + 1), length);
    }
    return true;
}

bool FormatSettingsRecord(const TSettingsRecord& record, std::string& bytes) {
    std::string result(kSettingsRecordSize, '\0');
    for (size_t i = 0; i < kSettingsEntryCount; ++i) {
        const std::string& text = record.Entries[i];
        if (text.size() > kSettingsTextSize) return false;
        const size_t at = i * kSettingsEntrySize;
        result[at] = static_cast<char>(text.size());
        text.copy(result.data() + at + 1, text.size());
    }
    bytes = std::move(result);
    return true;
}
