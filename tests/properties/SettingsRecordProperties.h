#pragma once
// Properties of the settings record reader, checked by the seeded harness and by
// the native fuzzing target alike: the reader takes exactly what the length bytes
// say from the first record and nothing else, and writing what it read gives the
// same record back.
#include <algorithm>
#include <string>
#include <string_view>

#include "window/SettingsRecord.h"

namespace SettingsRecordProperties {
inline std::string Check(std::string_view data) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    TSettingsRecord record;
    record.Entries[7] = "untouched";
    const bool parsed = ParseSettingsRecord(bytes, data.size(), record);
    if (parsed != (data.size() >= kSettingsRecordSize)) return "accepted data of the wrong size, or refused a record";
    if (!parsed) return record.Entries[7] == "untouched" ? std::string() : "a refused record changed the entries";

    for (size_t i = 0; i < kSettingsEntryCount; ++i) {
        const size_t at = i * kSettingsEntrySize;
        const size_t length = std::min<size_t>(bytes[at], kSettingsTextSize);
        if (record.Entries[i] != data.substr(at + 1, length)) return "an entry is not the bytes its length names";
    }
    std::string written;
    if (!FormatSettingsRecord(record, written) || written.size() != kSettingsRecordSize)
        return "a record that was read cannot be written";
    TSettingsRecord again;
    if (!ParseSettingsRecord(reinterpret_cast<const uint8_t*>(written.data()), written.size(), again) ||
        again.Entries != record.Entries)
        return "a written record reads back differently";
    return {};
}
}  // namespace SettingsRecordProperties
