#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "product/ProductContext.h"
#include "support/TestFiles.h"
#include "uninstall/RegistryValuePath.h"
#include "uninstall/UninstallLogReader.h"
#include "uninstall/UninstallLogRecord.h"

namespace {
std::vector<UninstallLogRecord> ReadLogText(const std::string& content) {
    std::string folder = TestFiles::FreshTempFolder("uninstall-log");
    std::string path = folder + "\\uninstall.log";
    TestFiles::Write(path, content);
    std::vector<UninstallLogRecord> records;
    const LogReadResult read =
        ReadUninstallLog(path, [&](const UninstallLogRecord& record) { records.push_back(record); });
    EXPECT_EQ(read.reading, LogReading::kRead);
    return records;
}

void ExpectRecord(const UninstallLogRecord& record, const std::string& kind, const std::string& value) {
    EXPECT_EQ(record.kind, kind);
    EXPECT_EQ(record.value, value);
}
}  // namespace

TEST(LogLine, SplitsAtTheFirstEqualsSign) {
    ExpectRecord(ParseLogLine("FILE=C:\\a=b.txt\n"), "FILE", "C:\\a=b.txt");
    ExpectRecord(ParseLogLine("REMOVEALL\n"), "", "REMOVEALL");
    ExpectRecord(ParseLogLine("REMOVEALL=\n"), "REMOVEALL", "");
    ExpectRecord(ParseLogLine("=x\n"), "", "x");
    ExpectRecord(ParseLogLine(" FILE =C:\\a  \n"), " FILE ", "C:\\a  ");  // nothing is trimmed
    ExpectRecord(ParseLogLine("file=x"), "file", "x");
}

TEST(LogLine, CountsReadLikeAtoi) {
    EXPECT_EQ(LogValueAsInteger("12"), 12);
    EXPECT_EQ(LogValueAsInteger("  \t+7x"), 7);
    EXPECT_EQ(LogValueAsInteger("-3"), -3);
    EXPECT_EQ(LogValueAsInteger("abc"), 0);
    EXPECT_EQ(LogValueAsInteger(""), 0);
    EXPECT_EQ(LogValueAsInteger("70000"), 70000);
    EXPECT_EQ(LogValueAsInteger("99999999999999999999"), INT_MAX);
    EXPECT_EQ(LogValueAsInteger("-99999999999999999999"), INT_MIN);
}

TEST(RegistryValue, ChoosesTheLowestRootRowFoundAndSplitsAtTheLastBackslash) {
    RegistryValuePath path = SplitRegistryValue("HKEY_CURRENT_USER\\Software\\Vendor");
    EXPECT_EQ(path.root, HKEY_CURRENT_USER);
    EXPECT_EQ(path.subkey, "Software");
    EXPECT_EQ(path.valueName, "Vendor");

    path = SplitRegistryValue("HKEY_LOCAL_MACHINE\\Software\\Vendor\\Product\\WindowPos");
    EXPECT_EQ(path.root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(path.subkey, "Software\\Vendor\\Product");
    EXPECT_EQ(path.valueName, "WindowPos");

    // Both names occur: HKEY_CURRENT_USER stands below HKEY_CLASSES_ROOT in the table.
    path = SplitRegistryValue("HKEY_CLASSES_ROOT\\Keys\\HKEY_CURRENT_USER");
    EXPECT_EQ(path.root, HKEY_CURRENT_USER);
    EXPECT_EQ(path.subkey, "Keys");
    EXPECT_EQ(path.valueName, "HKEY_CURRENT_USER");

    path = SplitRegistryValue("HKEY_USERS\\.DEFAULT");
    EXPECT_EQ(path.root, HKEY_USERS);
    EXPECT_EQ(path.subkey, ".DEFAULT");
    EXPECT_EQ(path.valueName, "");

    path = SplitRegistryValue("HKEY_CURRENT_CONFIG\\System\\");
    EXPECT_EQ(path.root, HKEY_CURRENT_CONFIG);
    EXPECT_EQ(path.subkey, "System");
    EXPECT_EQ(path.valueName, "");
}

TEST(RegistryValue, WithoutRootNameNamesNoKey) {
    RegistryValuePath path = SplitRegistryValue("Software\\Vendor\\Value");
    EXPECT_EQ(path.root, nullptr);
    path = SplitRegistryValue("hkey_current_user\\Software\\x");
    EXPECT_EQ(path.root, nullptr);
}

TEST(LogReader, HandsEveryLineOverInFileOrder) {
    auto records = ReadLogText(
        "TOTALFILE=2\nFILE=C:\\Program Files\\Product\\main.exe\nDIR=C:\\Program Files\\Product\\data\\\n"
        "REGVAL=HKEY_CURRENT_USER\\Software\\Vendor\\Product\\WindowPos\nRUN3RD=cleanup.exe\nRUN3RDCMD=/quiet\n"
        "REMOVEALL=1\n");
    ASSERT_EQ(records.size(), 7u);
    ExpectRecord(records[0], "TOTALFILE", "2");
    ExpectRecord(records[1], "FILE", "C:\\Program Files\\Product\\main.exe");
    ExpectRecord(records[2], "DIR", "C:\\Program Files\\Product\\data\\");
    ExpectRecord(records[3], "REGVAL", "HKEY_CURRENT_USER\\Software\\Vendor\\Product\\WindowPos");
    ExpectRecord(records[6], "REMOVEALL", "1");
}

TEST(LogReader, DropsCarriageReturnsOfCrlfAndReadsALastLineWithoutLineFeed) {
    auto records = ReadLogText("FILE=a.txt\r\nDIR=b  \r\nNTSERVICE=svc");
    ASSERT_EQ(records.size(), 3u);
    ExpectRecord(records[0], "FILE", "a.txt");
    ExpectRecord(records[1], "DIR", "b  ");
    ExpectRecord(records[2], "NTSERVICE", "svc");
}

TEST(LogReader, CutsLongLinesIntoPiecesOf1023Characters) {
    auto records = ReadLogText("FILE=" + std::string(1495, 'a') + "\nDIR=x\n");
    ASSERT_EQ(records.size(), 3u);
    ExpectRecord(records[0], "FILE", std::string(1018, 'a'));
    ExpectRecord(records[1], "", std::string(477, 'a'));
    ExpectRecord(records[2], "DIR", "x");

    auto big = ReadLogText(std::string(1 << 20, 'z') + "\nFILE=end\n");
    ASSERT_EQ(big.size(), (1u << 20) / 1023 + 2);
    EXPECT_EQ(big.front().value, std::string(1023, 'z'));
    ExpectRecord(big.back(), "FILE", "end");
}

TEST(LogReader, ControlBytesAndNulAreBytesOfTheirLineNeverTheEnd) {
    static const char kLog[] = "FILE=a\x1A\0b\r\n\x1A\x04\x1B\r\nDIR=c\rd\r\r\nREGVAL=\x7F\x1A";
    auto records = ReadLogText(std::string(kLog, sizeof kLog - 1));
    ASSERT_EQ(records.size(), 4u);
    ExpectRecord(records[0], "FILE", std::string("a\x1A\0b", 4));
    ExpectRecord(records[1], "", "\x1A\x04\x1B");
    ExpectRecord(records[2], "DIR", "c\rd\r");  // a carriage return alone stays
    ExpectRecord(records[3], "REGVAL", "\x7F\x1A");
}

TEST(LogReader, SurvivesBinaryGarbage) {
    std::string garbage;
    unsigned seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245 + 12345;
        garbage += static_cast<char>(seed >> 16);
    }
    size_t total = 0;
    for (const auto& record : ReadLogText(garbage + "\nFILE=tail\n")) total += record.kind.size() + record.value.size();
    EXPECT_GT(total, 0u);
    auto records = ReadLogText(garbage + "\nFILE=tail\n");
    ExpectRecord(records.back(), "FILE", "tail");
}

TEST(LogReader, SetsTheCompanionFlagOnlyForAValueNamingTheCompanionAsAFile) {
    const struct {
        const char* line;
        bool names;
    } kLines[] = {
        {"FILE=C:\\Program Files\\Pelmora Studio\\PelmoraHelper.exe", true},
        {"RUN3RD=PelmoraHelper.exe", true},
        {"SHORTCUT=C:/x/PelmoraHelper.exe", true},
        {"FILE=C:\\Docs\\PelmoraHelper.exe\\notes.txt", false},
        {"FILE=C:\\x\\pelmorahelper.exe", false},
        {"FILE=C:\\x\\PelmoraHelper.exe ", false},
        {"REGVAL=HKEY_CURRENT_USER\\Software\\MyPelmoraHelper.exe", false},
    };
    for (const auto& line : kLines) {
        TheProduct().companionSeenFlag = 0;
        ReadLogText(std::string(line.line) + "\n");
        EXPECT_EQ(TheProduct().companionSeenFlag == kFlagSet, line.names) << line.line;
    }
    TheProduct().companionSeenFlag = 0;
}
