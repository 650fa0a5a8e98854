#include <gtest/gtest.h>

#include "TestPaths.h"
#include "support/ArchiveTestSupport.h"
#include "window/SettingsRecord.h"

using namespace ArchiveTest;

namespace {
int DozSettings(const std::wstring& folder, const std::wstring& arguments) {
    return RunProgram(Widen(NORVANE_BIN_DIR) + L"\\dozsettings.exe", arguments, folder, 30000);
}

TSettingsRecord ReadBack(const std::wstring& path) {
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(bytes.size(), kSettingsRecordSize);
    TSettingsRecord record;
    EXPECT_TRUE(ParseSettingsRecord(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), record));
    return record;
}
}  // namespace

TEST(DozSettings, WritesRootEntriesAndRestoreFolderInTheSystemsCodePage) {
    const std::wstring folder = FreshFolder(L"dozsettings");
    ASSERT_EQ(DozSettings(folder, L"--root C:\\dane\\ \"C:\\dane\\zażółć.txt\" C:\\dane\\k\\*.txt "
                                  L"--restore C:\\odtworzone C:\\trzeci"),
              0);
    TSettingsRecord record = ReadBack(folder + L"\\doziruzidive_config.dat");
    EXPECT_EQ(record.Entries[kRootEntry], "C:\\dane\\");
    EXPECT_EQ(record.Entries[1], "C:\\dane\\za\xBF\xF3\xB3\xE6.txt");
    EXPECT_EQ(record.Entries[2], "C:\\dane\\k\\*.txt");
    EXPECT_EQ(record.Entries[3], "C:\\trzeci");
    EXPECT_EQ(record.Entries[4], "");
    EXPECT_EQ(record.Entries[kRestoreEntry], "C:\\odtworzone");

    std::wstring fifty = L"--output inny.dat";
    for (int i = 0; i < 50; ++i) fifty += L" C:\\" + std::wstring(197, static_cast<wchar_t>(L'a' + i % 26));
    ASSERT_EQ(DozSettings(folder, fifty), 0);
    record = ReadBack(folder + L"\\inny.dat");
    EXPECT_EQ(record.Entries[50].size(), 200u);
}

TEST(DozSettings, RefusesWhatTheFileCannotHoldAndWritesNothing) {
    const std::wstring folder = FreshFolder(L"dozsettings-refused");
    const std::wstring path = folder + L"\\doziruzidive_config.dat";
    std::wstring fiftyOne;
    for (int i = 0; i < 51; ++i) fiftyOne += L" e" + std::to_wstring(i);
    for (const std::wstring& arguments :
         {L"C:\\" + std::wstring(198, L'x'), L"--root C:\\" + std::wstring(198, L'x'), fiftyOne,
          std::wstring(L"C:\\日本.txt"), std::wstring(L"--restore"), std::wstring(L"--unknown a")}) {
        EXPECT_EQ(DozSettings(folder, arguments), 2) << Narrow(arguments).substr(0, 40);
        EXPECT_FALSE(Exists(path));
    }
}
