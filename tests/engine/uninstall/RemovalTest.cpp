#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "TestPaths.h"
#include "framework/MessageBox.h"
#include "product/ProductContext.h"
#include "support/RecordingPage.h"
#include "support/RemovalLogText.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "support/TestRegistry.h"
#include "uninstall/CanonicalPath.h"
#include "uninstall/NVEngine.h"
#include "uninstall/RemovalLog.h"
#include "uninstall/RemoveTree.h"

namespace {
// One product in the prefix, its install folder made afresh where products go
// (a temporary folder is none of a product's), and an engine run over a log
// given as text, with a recording page.
class Removal : public ::testing::Test {
protected:
    void SetUp() override {
        TestFiles::RemoveTree(install);
        TestFiles::MakeDirectories(install);
        ProductContext& context = TheProduct();
        context = ProductContext{};
        context.mode = kModeSilent;
        context.productCode = product.Code();
        context.uninstallKey = product.UninstallKey();
        context.uninstallKey32 = product.UninstallKey32();
        context.displayName = "Removal Test";
        context.installPath = install;
        context.uninstallLogPath = product.Folder() + "\\uninstall.log";
        context.languageFilePath = product.Folder() + "\\language.lan";
        context.themeFolder = product.Folder() + "\\theme\\";
        product.Register("Removal Test", install);
    }
    void TearDown() override {
        TheProduct().companionSeenFlag = 0;
        TestFiles::RemoveTree(install);
    }

    void Run(const std::string& log, bool withPage = true) {
        TheProduct().noPageFlag = withPage ? 0 : kFlagSet;
        product.WriteLog(log);
        CNVEngine engine(&page);
        engine.Run();
    }
    std::string File(const std::string& name, const std::string& content = "x") const {
        std::string path = install + "\\" + name;
        TestFiles::Write(path, content);
        return path;
    }
    std::string CopyTool(const std::string& tool, const std::string& name) const {
        std::string target = product.Folder() + "\\" + name;
        ::CopyFileA((NORVANE_TEST_BIN_DIR "\\" + tool).c_str(), target.c_str(), FALSE);
        return target;
    }

    TestProduct product{"{REMOVAL-TEST-0001}"};
    const std::string install = "C:\\Program Files\\Norvane Removal Test";
    RecordingPage page;
};
}  // namespace

// Each file reports the count handled before it, a missing one and a refused
// one included; a new total starts the count again; the last position is the
// log's last total, whatever was handled.
TEST_F(Removal, DeletesFilesAndShortcutsWithProgressCountedPerRecord) {
    std::string plain = File("plain.txt");
    std::string readOnly = File("readonly.txt");
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    std::string shortcut = File("Product.lnk");
    Run("TOTALFILE=3\nFILE=a\nFILE=b\nTOTALFILE=70000\nFILE=c\nTOTALFILE=abc\nTOTALFILE=5\nFILE=" + plain +
        "\nFILE=" + readOnly + "\nFILE=" + install + "\\missing.txt\nSHORTCUT=" + shortcut + "\n");
    EXPECT_FALSE(TestFiles::Exists(plain));
    EXPECT_FALSE(TestFiles::Exists(readOnly));
    EXPECT_FALSE(TestFiles::Exists(shortcut));
    EXPECT_EQ(page.ranges, std::vector<int>({3, 70000, 0, 5}));
    EXPECT_EQ(page.positions, std::vector<int>({0, 1, 0, 0, 1, 2, 3, 5}));
}

TEST_F(Removal, ReportsStatusTextsAndEnablesCancelOnlyWithAPage) {
    product.WriteLanguage("[SetupProgress]\n10=[ProductName] removed.\n");
    Run("TOTALFILE=1\nFILE=" + install + "\\x\n");
    EXPECT_EQ(page.events, std::vector<std::string>({"status:Removing Files...", "range:1", "position:0",
                                                      "status:[ProductName] removed.", "position:1",
                                                      "enable-cancel"}));
    page.events.clear();
    Run("TOTALFILE=1\nFILE=" + install + "\\x\n", false);
    EXPECT_TRUE(page.events.empty());
}

TEST_F(Removal, AWorkerThatAnExceptionEndsIsReportedAndNoRemovalReadsAsDone) {
    struct FailingPage : RecordingPage {
        void ShowStatusText(const std::string&, StatusTarget) override { throw std::runtime_error("page gone"); }
    } failing;
    std::vector<std::string> boxes;
    SetMessageBoxHandler([&](HWND, const char* text, const char*, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    TheProduct().noPageFlag = 0;
    product.WriteLog("FILE=" + File("kept.txt") + "\n");
    CNVEngine engine(&failing);
    EXPECT_FALSE(engine.StartRemoval());
    SetMessageBoxHandler(nullptr);
    EXPECT_TRUE(TestFiles::Exists(install + "\\kept.txt"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("page gone"), std::string::npos) << boxes[0];
}

TEST_F(Removal, AReadOnlyFileInUseStaysWithItsAttributesReset) {
    std::string busy = File("busy.txt");
    ::SetFileAttributesA(busy.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    HANDLE open = ::CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    Run("FILE=" + busy + "\n");
    ::CloseHandle(open);
    EXPECT_TRUE(TestFiles::Exists(busy));
    // Masked with the normal attribute: read-only and hidden are gone alike.
    EXPECT_EQ(::GetFileAttributesA(busy.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
}

// Folders go in log order, without recursion; what REMOVEALL takes, read-only
// files included, it takes whole.
TEST_F(Removal, RemovesEmptyFoldersInLogOrderOnlyAndRemoveAllTakesTheRest) {
    TestFiles::MakeDirectories(install + "\\A\\B");
    TestFiles::MakeDirectories(install + "\\C\\D");
    Run("DIR=" + install + "\\A\\B\\\nDIR=" + install + "\\A\nDIR=" + install + "\\C\nDIR=" + install + "\\C\\D\\\n");
    EXPECT_FALSE(TestFiles::Exists(install + "\\A"));
    EXPECT_TRUE(TestFiles::Exists(install + "\\C"));
    EXPECT_FALSE(TestFiles::Exists(install + "\\C\\D"));
    File("C\\user-data.txt");
    ::SetFileAttributesA((install + "\\C\\user-data.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    Run("REMOVEALL=\n");
    EXPECT_FALSE(TestFiles::Exists(install));
}

// The command is the whole command line; a second one runs the target again;
// only ".dll" and ".DLL" name libraries; only "http://" opens a link, through
// the default handler (the companion here), with the link as its argument.
TEST_F(Removal, StartsCompanionProgramsAndOpensOnlyHttpLinks) {
    const std::string command = "Software\\Classes\\http\\shell\\open\\command";
    TestRegistry::SavedValue previous(HKEY_LOCAL_MACHINE, command, "");
    TestRegistry::WriteString(HKEY_LOCAL_MACHINE, command, "", "\"" + CopyTool("companion.exe", "browser.exe") + "\" \"%1\"");
    CopyTool("companion.exe", "cleanup.exe");
    CopyTool("companion.exe", "tool.Dll");
    Run("RUN3RD=cleanup.exe\nRUN3RDCMD=/quiet --all\nRUN3RDCMD=again\nRUN3RD=tool.Dll\nRUN3RDCMD=as program\n"
        "RUN3RD=https://example.invalid/notalink\nRUN3RDCMD=x\nRUN3RD=http://example.invalid/bye\nRUN3RDCMD=ignored\n");
    const std::string log = product.Folder() + "\\companion-program.log";
    std::string lines;
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 10000; ::Sleep(20)) {
        lines = TestFiles::Read(log);
        if (std::count(lines.begin(), lines.end(), '\n') >= 4) break;
    }
    for (const char* line : {"/quiet --all\n", "again\n", "as program\n", "http://example.invalid/bye"})
        EXPECT_NE(lines.find(line), std::string::npos) << line << "\n" << lines;
    EXPECT_EQ(lines.find("https://"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("ignored"), std::string::npos) << lines;
}

// What another installer does while the removal runs counts from the next line
// on: a product registered inside the install folder, a shared file's count raised.
TEST_F(Removal, ProtectionsThatAppearDuringTheRunCount) {
    struct InstallingPage : RecordingPage {
        std::function<void()> meanwhile;
        void SetProgressPosition(int position) override {
            if (meanwhile) std::exchange(meanwhile, nullptr)();
        }
    } installing;
    TestFiles::MakeDirectories(install + "\\theirs");
    const std::string first = File("first.txt"), theirs = File("theirs\\data.txt"), shared = File("shared.dll");
    const std::string sharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    const std::string other = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NorvaneDuringRun";
    TestRegistry::WriteDword(HKEY_LOCAL_MACHINE, sharedDlls, shared, 1);
    installing.meanwhile = [&] {
        TestRegistry::WriteString(HKEY_LOCAL_MACHINE, other, "InstallLocation", install + "\\theirs");
        TestRegistry::WriteDword(HKEY_LOCAL_MACHINE, sharedDlls, shared, 2);
    };
    TheProduct().noPageFlag = 0;
    product.WriteLog("FILE=" + first + "\nFILE=" + theirs + "\nFILE=" + shared + "\nREMOVEALL=1\n");
    CNVEngine(&installing).Run();
    EXPECT_FALSE(TestFiles::Exists(first));
    EXPECT_TRUE(TestFiles::Exists(theirs));
    EXPECT_TRUE(TestFiles::Exists(shared));
    EXPECT_EQ(TestRegistry::ReadDword(HKEY_LOCAL_MACHINE, sharedDlls, shared), std::optional<DWORD>(1));
    TestRegistry::DeleteTree(HKEY_LOCAL_MACHINE, other);
    TestRegistry::DeleteValue(HKEY_LOCAL_MACHINE, sharedDlls, shared);
}

// (The process runs show both views' registrations going.)
TEST_F(Removal, KeepsARegistrationWithSubkeys) {
    TestRegistry::WriteString(HKEY_LOCAL_MACHINE, product.UninstallKey() + "\\Child", "x", "y");
    Run("");
    EXPECT_TRUE(TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, product.UninstallKey()));
}

TEST_F(Removal, CleansUpTheSpecialProductOnlyWhenItsCompanionWasNamed) {
    const std::string folder = "C:\\Program Files\\Pelmora Studio";
    TestRegistry::WriteString(HKEY_CURRENT_USER, "Software\\Brellix\\Pelmora Studio", "Path", folder);
    TestFiles::MakeDirectories(folder + "\\bin");
    TestFiles::Write(folder + "\\bin\\PelmoraHelper.exe", "MZ");
    for (bool named : {false, true}) {
        Run("FILE=" + (named ? folder + "\\bin\\PelmoraHelper.exe" : install + "\\other.exe") + "\n");
        EXPECT_EQ(TestRegistry::KeyExists(HKEY_CURRENT_USER, "Software\\Brellix\\Pelmora Studio"), !named);
        EXPECT_EQ(TestFiles::Exists(folder), !named);
    }
    EXPECT_TRUE(TestRegistry::KeyExists(HKEY_CURRENT_USER, "Software\\Brellix"));
    TestRegistry::DeleteTree(HKEY_CURRENT_USER, "Software\\Brellix");
}

// Neither a file in use nor the current directory inside the tree asks or stops it.
TEST(RemoveTreeTest, MovesTheCurrentDirectoryOutOfTheTreeAndAsksNothing) {
    std::string root = TestFiles::FreshTempFolder("remove-tree");
    TestFiles::MakeDirectories(root + "\\tree\\inner\\most");
    TestFiles::Write(root + "\\tree\\inner\\file.txt", "x");
    ASSERT_TRUE(::SetCurrentDirectoryA((root + "\\tree\\inner\\most").c_str()));
    HANDLE lock = ::CreateFileA((root + "\\tree\\inner\\file.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    RemoveTree(root + "\\tree");
    ::CloseHandle(lock);
    EXPECT_TRUE(TestFiles::Exists(root + "\\tree\\inner\\file.txt"));
    EXPECT_TRUE(RemoveTree(root + "\\tree"));
    EXPECT_FALSE(TestFiles::Exists(root + "\\tree"));
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_STRCASEEQ(current, root.c_str());
    EXPECT_FALSE(RemoveTree(root + "\\never-there"));
}

// The spellings of drive paths that the generated hostile logs write are decided
// there; these are the forms they do not write.
TEST(CanonicalPathTest, OneSpellingForEveryPathOrWhyNot) {
    const std::string longName = "C:\\" + std::string(300, 'n');
    const struct {
        std::string raw;
        std::string canonical;  // empty: refused
        std::optional<Outcome> refusal;
    } kPaths[] = {
        {"C:\\\\", "C:\\", std::nullopt},
        {"C:/..", "C:\\", std::nullopt},
        {"\\\\server\\share\\x\\..\\y\\", "\\\\server\\share\\y", std::nullopt},
        {"C:a.txt", "", Outcome::kNotFull},
        {"..\\..\\tools\\x.exe", "", Outcome::kNotFull},
        {"", "", Outcome::kNotFull},
        {"\\\\?\\C:\\x", "", Outcome::kNotFull},
        {"\\\\.\\C:\\x", "", Outcome::kNotFull},
        {"C:\\x\\nul", "", Outcome::kDevice},
        {"C:\\x\\...\\y", "", Outcome::kDotsOrBlanks},
        {longName, "", Outcome::kTooLong},
    };
    for (const auto& path : kPaths) {
        const CanonicalPath canonical = CanonicalFullPath(path.raw);
        EXPECT_EQ(canonical.path, path.canonical) << path.raw;
        EXPECT_EQ(canonical.refusal, path.refusal) << path.raw;
    }
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(CanonicalAnyPath("run.log").path, std::string(current) + "\\run.log");
}

// Under Wine a link in the prefix is a Unix symbolic link: one to a folder shows
// as a reparse point by its name only, and whatever removes it through a
// handle removes what it leads to; one to a file shows as that file.
TEST_F(Removal, LinksGoAsLinksAndWhatTheyLeadToIsNeverEntered) {
    const std::string outside = TestFiles::FreshTempFolder("link-targets");
    TestFiles::MakeDirectories(outside + "\\empty");
    TestFiles::MakeDirectories(outside + "\\full");
    TestFiles::Write(outside + "\\full\\keep.txt", "keep");
    // Another user's profile: a folder of the profiles folder.
    char own[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, 0, own)));
    const std::string profile = std::string(own).substr(0, std::string(own).rfind('\\')) + "\\norvane-link-profile";
    TestFiles::MakeDirectories(profile + "\\Favorites");
    const std::string ownFile = File("own.txt");
    TestFiles::MakeDirectories(install + "\\deep");
    const std::vector<std::pair<std::string, std::string>> links = {
        {outside + "\\empty", install + "\\empty-link"},
        {outside + "\\full", install + "\\deep\\full-link"},
        {outside + "\\full\\keep.txt", install + "\\deep\\file-link.txt"},
        {profile, install + "\\profile-link"}};
    for (const auto& [target, link] : links)
        if (!TestFiles::MakeUnixLink(target, link)) GTEST_SKIP() << "no Unix links: not under Wine";

    const std::string logPath = outside + "\\removal.log";
    RemovalLog log;
    ASSERT_TRUE(log.Open(logPath));
    product.WriteLog("FILE=" + install + "\\deep\\file-link.txt\nDIR=" + install + "\\empty-link\nDIR=" + install +
                     "\\profile-link\\Favorites\nREMOVEALL=1\n");
    TheProduct().noPageFlag = kFlagSet;
    {
        CNVEngine engine(&page, install, log);
        engine.Run();
    }
    EXPECT_EQ(TestFiles::Read(outside + "\\full\\keep.txt"), "keep");
    EXPECT_TRUE(TestFiles::IsDirectory(outside + "\\empty"));
    EXPECT_TRUE(TestFiles::IsDirectory(profile + "\\Favorites"));
    EXPECT_FALSE(TestFiles::Exists(ownFile));
    const std::string written = TestFiles::Read(logPath);
    for (const std::string& line :
         {"DIR " + install + "\\empty-link: left, a link that this system can only follow: what it leads to was not "
                             "entered",
          "DIR " + install + "\\profile-link\\Favorites: refused, a protected folder",
          "FILE " + install + "\\deep\\file-link.txt: left, not shown to be the product's: outside its folders, neither "
                              "a shortcut where shortcuts go nor a shared file",
          "REMOVEALL " + install + ": left, in part or whole"})
        EXPECT_NE(written.find(line + "\r\n"), std::string::npos) << line << "\n" << written;
    for (const auto& link : links) TestFiles::RemoveUnixLink(link.second);
    TestFiles::RemoveTree(profile);
}

TEST(RemovalLogLine, WhateverATextHoldsStaysOnItsLineAndReadsBack) {
    const struct {
        std::string text, line;
    } kLines[] = {
        {"FILE C:\\rates\\a\r\nexit code 0", "FILE C:\\rates\\a<0D><0A>exit code 0"},
        {"<3C> \x1A\x7F\t\x0B\x0C", "<3C>3C> <1A><7F><09><0B><0C>"},
        {"caf\xE9 \x81\x9D", "caf\xC3\xA9 <81><9D>"},  // bytes the code page leaves undefined are C1 controls
    };
    const std::string path = TestFiles::FreshTempFolder("removal-log-line") + "\\removal.log";
    {
        RemovalLog log;
        ASSERT_TRUE(log.Open(path));
        for (const auto& line : kLines) log.Write(line.text);
        log.WriteMessage("Norvane", "one\r\n\r\ntwo\x1A");
    }
    std::vector<std::string> expected;
    for (const auto& line : kLines) expected.push_back(line.line);
    expected.push_back("message not shown: [Norvane] one two<1A>");
    EXPECT_EQ(RemovalLogLines(TestFiles::Read(path)), expected);
}
