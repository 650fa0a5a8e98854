// The uninstall log as the reader hands it over, for what the generated logs
// never write: NUL, Ctrl+Z and lone carriage returns inside lines, lines past
// the 1023-byte buffer, a last line without a line feed.
#include <gtest/gtest.h>

#include <vector>

#include "product/ProductContext.h"
#include "support/TestFiles.h"
#include "uninstall/UninstallLogReader.h"

namespace {
using Records = std::vector<std::pair<std::string, std::string>>;

Records ReadLogText(const std::string& content) {
    const std::string path = TestFiles::FreshTempFolder("uninstall-log") + "\\uninstall.log";
    TestFiles::Write(path, content);
    Records records;
    const LogReadResult read = ReadUninstallLog(
        path, [&](const UninstallLogRecord& record) { records.emplace_back(record.kind, record.value); });
    EXPECT_EQ(read.reading, LogReading::kRead);
    return records;
}
}  // namespace

TEST(LogReader, HandsEveryByteOverLineByLineInPiecesOf1023Characters) {
    static const char kControls[] = "FILE=a\x1A\0b\r\n\x1A\x04\x1B\r\nDIR=c\rd\r\r\nREGVAL=\x7F\x1A";
    const struct {
        std::string log;
        Records records;
    } kLogs[] = {
        {"FILE=C:\\a=b.txt\r\nREMOVEALL\n=x\n FILE =C:\\a  \r\nNTSERVICE=svc",
         {{"FILE", "C:\\a=b.txt"}, {"", "REMOVEALL"}, {"", "x"}, {" FILE ", "C:\\a  "}, {"NTSERVICE", "svc"}}},
        // A carriage return alone stays; Ctrl+Z and NUL are bytes of their line.
        {std::string(kControls, sizeof kControls - 1),
         {{"FILE", std::string("a\x1A\0b", 4)}, {"", "\x1A\x04\x1B"}, {"DIR", "c\rd\r"}, {"REGVAL", "\x7F\x1A"}}},
        {"FILE=" + std::string(1495, 'a') + "\nDIR=x\n",
         {{"FILE", std::string(1018, 'a')}, {"", std::string(477, 'a')}, {"DIR", "x"}}},
    };
    for (const auto& log : kLogs) EXPECT_EQ(ReadLogText(log.log), log.records);

    const Records big = ReadLogText(std::string(1 << 20, 'z') + "\nFILE=end\n");
    ASSERT_EQ(big.size(), (1u << 20) / 1023 + 2);
    EXPECT_EQ(big.front().second, std::string(1023, 'z'));
    EXPECT_EQ(big.back(), Records::value_type("FILE", "end"));
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
