#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// The settings file "doziruzidive_config.dat": a file of records of 52 entries, each
// a length byte and 200 bytes of text in the system's 8-bit code page, of which
// only the first record counts. Nothing here touches the platform, so that
// generated records can be thrown at the reader anywhere.

constexpr size_t kSettingsEntryCount = 52;
constexpr size_t kSettingsTextSize = 200;
constexpr size_t kSettingsEntrySize = 1 + kSettingsTextSize;                      // 201
constexpr size_t kSettingsRecordSize = kSettingsEntryCount * kSettingsEntrySize;  // 10,452

constexpr size_t kRootEntry = 0;        // becomes AddRootDir when archiving
constexpr size_t kFirstItemEntry = 1;   // entries 1..50: what to archive
constexpr size_t kLastItemEntry = 50;
constexpr size_t kRestoreEntry = 51;    // becomes ExtrBaseDir when restoring

struct TSettingsRecord {
    // The text of each entry, as bytes of the system code page.
    std::array<std::string, kSettingsEntryCount> Entries;
};

// The first record of `data`: false, and `record` untouched, when the data is
// shorter than one record. A length byte above 200 reads as 200; the bytes past
// an entry's length are not part of it.
bool ParseSettingsRecord(const uint8_t* data, size_t size, TSettingsRecord& record);

// The 10,452 bytes of the record, unused bytes zero; false when an entry is longer
// than 200 bytes, which the file cannot hold.
bool FormatSettingsRecord(const TSettingsRecord& record, std::string& bytes);
