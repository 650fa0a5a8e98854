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

bool Parse(const std::string& bytes, TSettingsRecord& record) {
    return ParseSettingsRecord(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), record);
}
}  // namespace

TEST(SettingsRecord, ReadsTheFirstRecordOfFiftyTwoEntriesByTheirLengthBytes) {
    std::string bytes = RecordBytes();
    bytes[0] = 0;                                            // entry 0 empty
    bytes[50 * kSettingsEntrySize] = static_cast<char>(200);  // entry 50: all 200 bytes
    bytes[51 * kSettingsEntrySize] = static_cast<char>(255);  // entry 51: more than there is
    std::string second = RecordBytes(9);
    TSettingsRecord record;
    ASSERT_TRUE(Parse(bytes + second, record));
    EXPECT_EQ(record.Entries[0], "");
    EXPECT_EQ(record.Entries[1], "bbb");
    EXPECT_EQ(record.Entries[25], "zzz");
    EXPECT_EQ(record.Entries[50], std::string(200, 'y'));
    EXPECT_EQ(record.Entries[51], std::string(200, 'z'));
}

TEST(SettingsRecord, FormatsWhatItReadsAndRefusesAnEntryOverTwoHundredBytes) {
    TSettingsRecord record;
    record.Entries[kRootEntry] = "C:\\dane\\";
    record.Entries[kFirstItemEntry] = std::string(200, 'x');
    record.Entries[kRestoreEntry] = "C:\\odtworzone";
    std::string bytes;
    ASSERT_TRUE(FormatSettingsRecord(record, bytes));
    ASSERT_EQ(bytes.size(), 10452u);
    EXPECT_EQ(static_cast<uint8_t>(bytes[kSettingsEntrySize]), 200);
    EXPECT_EQ(bytes[2 * kSettingsEntrySize], '\0');
    TSettingsRecord back;
    ASSERT_TRUE(Parse(bytes, back));
    EXPECT_EQ(back.Entries, record.Entries);

    record.Entries[17] = std::string(201, 'x');
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
