#include <gtest/gtest.h>

#include "properties/SettingsRecordProperties.h"
#include "support/ArchiveTestSupport.h"
#include "support/GeneratedInput.h"
#include "window/SettingsFile.h"
#include "window/SettingsRecord.h"

namespace {
// A record of bytes: entry i has length byte lengths[i] and its text filled with
// the letter 'a' + i % 26 (past its length too, which must not count).
std::string RecordBytes(uint8_t length = 3) {
    std::string bytes(kSettingsRecordSize, '\0');
    for (size_t i = 0; i < kSettingsEntryCount; ++i) {
        bytes[i * kSettingsEntrySize] = static_cast<char>(length);
        std::fill_n(bytes.begin() + static_cast<long>(i * kSettingsEntrySize + 1), kSettingsTextSize,
                    static_cast<char>('a' + i % 26));
    }
    return bytes;
}
}  // namespace

// What is read is formatted back by the property test below; an entry longer
// than the file holds is refused.
TEST(SettingsRecord, FormatRefusesAnEntryOverTwoHundredBytes) {
    TSettingsRecord record;
    std::string bytes;
    record.Entries[17] = std::string(200, 'x');
    EXPECT_TRUE(FormatSettingsRecord(record, bytes));
    record.Entries[17] += 'x';
    EXPECT_FALSE(FormatSettingsRecord(record, bytes));
}

// Generated and mutated records around the record's size, length bytes of every
// value included: an entry is what its length byte names, and what was read
// writes back the same.
TEST(SettingsRecord, GeneratedRecordsReadAsTheirLengthBytesSay) {
    std::vector<std::string> seeds = ReadCorpus("settings_record");
    seeds.push_back(RecordBytes(200));
    seeds.push_back(RecordBytes(255) + RecordBytes(0));
    const std::vector<std::string> fragments = {std::string(1, '\0'), "\xC8", "\xC9", "\xFF", "C:\\Dane\\*.*",
                                                std::string(201, 'x'), std::string(kSettingsEntrySize, '\0')};
    InputGenerator generator(7);
    for (int i = 0; i < 4000; ++i) {
        std::string data = generator.Mutate(generator.Pick(seeds), fragments);
        // Length bytes are where the reader decides: set a few at random.
        for (int n = generator.Below(4); n > 0 && data.size() >= kSettingsRecordSize; --n)
            data[generator.Below(kSettingsEntryCount) * kSettingsEntrySize] = static_cast<char>(generator.Below(256));
        if (generator.OneIn(8)) data.resize(kSettingsRecordSize - 1 + generator.Below(3));
        const std::string failure = SettingsRecordProperties::Check(data);
        ASSERT_TRUE(failure.empty()) << failure << " (input " << i << ", " << data.size() << " bytes)";
    }
}

// Two records: the first is read, also from a read-only file.
TEST(SettingsFile, TheFirstOfTwoRecordsIsReadFromAReadOnlyFile) {
    const std::wstring folder = ArchiveTest::FreshFolder(L"settings-file");
    const std::wstring path = folder + L"\\doziruzidive_config.dat";
    ASSERT_TRUE(ArchiveTest::WriteFile(path, RecordBytes(2) + RecordBytes(7)));
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    TSettingsRecord record;
    EXPECT_EQ(ReadSettingsFile(path, record), 0u);
    EXPECT_EQ(record.Entries[1], "bb");
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(SettingsFile, EntriesAreTextOfTheSystemCodePageEndingAtTheFirstNul) {
    ASSERT_EQ(::GetACP(), 1250u) << "the window's tests run with the Polish code page";
    // "Dane zażółć" in code page 1250.
    EXPECT_EQ(SettingsEntryText("Dane za\xBF\xF3\xB3\xE6"), L"Dane zażółć");
    EXPECT_EQ(SettingsEntryText(std::string("C:\\a\0junk", 9)), L"C:\\a");
    EXPECT_EQ(SettingsEntryText(""), L"");
    // Entries to pack: what is left of each after reading, none that is empty or blank.
    TSettingsRecord record;
    record.Entries[kRootEntry] = "C:\\root";
    record.Entries[1] = std::string(200, '\0');
    record.Entries[2] = " \t\r\n";
    record.Entries[3] = "C:\\a.txt";
    record.Entries[4] = std::string("\0C:\\hidden", 11);
    record.Entries[50] = " C:\\b.txt";
    record.Entries[kRestoreEntry] = "C:\\out";
    EXPECT_EQ(ItemEntries(record), (std::vector<std::wstring>{L"C:\\a.txt", L" C:\\b.txt"}));
}
