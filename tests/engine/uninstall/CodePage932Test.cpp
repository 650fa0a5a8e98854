// The engine on a Japanese system (code page 932, the test started under the
// ja_JP.UTF-8 locale): names whose last character ends in the byte 0x5C, the
// backslash's, keep it wherever a trailing backslash is looked for or cut.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/AnsiPath.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "uninstall/CanonicalPath.h"
#include "uninstall/RemoveTree.h"
#include "uninstall/UninstallLogReader.h"

namespace {
// In code page 932: 表 95 5C, ソ 83 5C, 予定表 97 5C 92 E8 95 5C.
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kYoteihyo = "\x97\x5C\x92\xE8\x95\x5C";
// The same in UTF-8, as the removal log writes them.
const std::string kHyoUtf8 = "\xE8\xA1\xA8";
const std::string kSoUtf8 = "\xE3\x82\xBD";
const std::string kYoteihyoUtf8 = "\xE4\xBA\x88\xE5\xAE\x9A\xE8\xA1\xA8";
}  // namespace

TEST(CodePage932, PathsAreCutAndJoinedByCharacters) {
    ASSERT_EQ(::GetACP(), 932u) << "start the test under LANG=ja_JP.UTF-8";
    EXPECT_FALSE(EndsWithBackslash("C:\\" + kHyo));
    EXPECT_TRUE(EndsWithBackslash("C:\\" + kHyo + "\\"));
    EXPECT_EQ(WithTrailingBackslash("C:\\" + kSo), "C:\\" + kSo + "\\");
    EXPECT_EQ(WithoutTrailingBackslash("C:\\" + kSo), "C:\\" + kSo);
    EXPECT_EQ(LastPathComponent("C:\\x\\" + kYoteihyo), kYoteihyo);
    EXPECT_FALSE(NamesCompanionProgram("C:\\x\\" + kHyo + "PelmoraHelper.exe"));
    EXPECT_TRUE(NamesCompanionProgram("C:\\" + kHyo + "\\PelmoraHelper.exe"));
    EXPECT_EQ(CanonicalFullPath("C:\\" + kYoteihyo + "\\" + kHyo + "\\").path, "C:\\" + kYoteihyo + "\\" + kHyo);
    EXPECT_TRUE(IsAncestorDirectory("C:\\" + kHyo, "C:\\" + kHyo + "\\x"));
    EXPECT_FALSE(IsAncestorDirectory("C:\\" + kHyo.substr(0, 1), "C:\\" + kHyo + "\\x"));
}

TEST(CodePage932, NorvexecRemovesAndLogsFoldersByTheirWholeNames) {
    ASSERT_EQ(::GetACP(), 932u);
    TestProduct product("{NORVANE-CP932-01}");
    // Where products go: a temporary folder is none of a product's.
    const std::string folder = "C:\\Program Files\\Norvane CP932";
    TestFiles::RemoveTree(folder);
    const std::string install = folder + "\\" + kYoteihyo;
    const std::string installUtf8 = folder + "\\" + kYoteihyoUtf8;
    std::string log = "TOTALFILE=1\r\nFILE=" + install + "\\" + kSo + ".txt\r\n";
    for (const std::string& name : {kHyo, kSo, kYoteihyo}) {
        ASSERT_TRUE(TestFiles::MakeDirectories(install + "\\" + name));
        // Without a trailing backslash the name's own last byte looks like one.
        log += "DIR=" + install + "\\" + name + (name == kSo ? "\\" : "") + "\r\n";
    }
    TestFiles::Write(install + "\\" + kSo + ".txt", "x");
    product.WriteLog(log);
    product.Register("CP932", install);
    const std::string removalLog = install + ".log";
    ChildProcess norvexec(NorvexecPath(), "/S " + product.Code() + " /LOG=\"" + removalLog + "\"");
    EXPECT_EQ(norvexec.Wait(30000), std::optional<DWORD>(0u));
    const std::string written = TestFiles::Read(removalLog);
    for (const std::string& name : {kHyoUtf8, kSoUtf8, kYoteihyoUtf8})
        EXPECT_NE(written.find("DIR " + installUtf8 + "\\" + name + ": removed\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("FILE " + installUtf8 + "\\" + kSoUtf8 + ".txt: removed\r\n"), std::string::npos) << written;
    for (const std::string& name : {kHyo, kSo, kYoteihyo}) EXPECT_FALSE(TestFiles::Exists(install + "\\" + name));
    TestFiles::RemoveTree(folder);
}
