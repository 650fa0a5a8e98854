#include <gtest/gtest.h>

#include <shlobj.h>

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
#include "support/TestServices.h"
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
    // A detached program writes its record some time after the run.
    static std::string WaitForFile(const std::string& path, DWORD timeoutMs = 10000) {
        for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs; ::Sleep(20)) {
            std::string content = TestFiles::Read(path);
            if (!content.empty()) return content;
        }
        return {};
    }

    TestProduct product{"{REMOVAL-TEST-0001}"};
    const std::string install = "C:\\Program Files\\Norvane Removal Test";
    RecordingPage page;
};
}  // namespace

TEST_F(Removal, DeletesFilesAndShortcutsWithProgressCountedPerRecord) {
    std::string plain = File("plain.txt");
    std::string readOnly = File("readonly.txt");
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    std::string shortcut = File("Product.lnk");
    Run("TOTALFILE=5\nFILE=" + plain + "\nFILE=" + readOnly + "\nFILE=" + install + "\\missing.txt\nSHORTCUT=" +
        shortcut + "\n");
    EXPECT_FALSE(TestFiles::Exists(plain));
    EXPECT_FALSE(TestFiles::Exists(readOnly));
    EXPECT_FALSE(TestFiles::Exists(shortcut));
    EXPECT_EQ(page.ranges, std::vector<int>({5}));
    // Each file reports the count handled before it; the missing one counts too;
    // the last position is the log's total, whatever was handled.
    EXPECT_EQ(page.positions, std::vector<int>({0, 1, 2, 3, 5}));
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

TEST_F(Removal, ASecondTotalResetsTheCounterAndLargeTotalsPassUnchanged) {
    Run("TOTALFILE=2\nFILE=a\nFILE=b\nTOTALFILE=70000\nFILE=c\nTOTALFILE=abc\n");
    EXPECT_EQ(page.ranges, std::vector<int>({2, 70000, 0}));
    EXPECT_EQ(page.positions, std::vector<int>({0, 1, 0, 0}));
}

TEST_F(Removal, AReadOnlyFileInUseStaysWithItsAttributesReset) {
    std::string busy = File("busy.txt");
    ::SetFileAttributesA(busy.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(::GetFileAttributesA(busy.c_str()) & FILE_ATTRIBUTE_HIDDEN, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    HANDLE open = ::CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    Run("FILE=" + busy + "\n");
    ::CloseHandle(open);
    EXPECT_TRUE(TestFiles::Exists(busy));
    // Masked with the normal attribute: read-only and hidden are gone alike.
    EXPECT_EQ(::GetFileAttributesA(busy.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
}

TEST_F(Removal, RemovesEmptyFoldersInLogOrderOnly) {
    TestFiles::MakeDirectories(install + "\\A\\B");
    TestFiles::MakeDirectories(install + "\\C\\D");
    Run("DIR=" + install + "\\A\\B\\\nDIR=" + install + "\\A\nDIR=" + install + "\\C\nDIR=" + install + "\\C\\D\\\n");
    EXPECT_FALSE(TestFiles::Exists(install + "\\A"));
    EXPECT_TRUE(TestFiles::Exists(install + "\\C"));
    EXPECT_FALSE(TestFiles::Exists(install + "\\C\\D"));
}

TEST_F(Removal, RemembersOnlyThe999FirstFolders) {
    std::string log;
    for (int i = 0; i < 1200; ++i) {
        std::string folder = install + "\\f" + std::to_string(i);
        ::CreateDirectoryA(folder.c_str(), nullptr);
        log += "DIR=" + folder + "\n";
    }
    Run(log);
    EXPECT_FALSE(TestFiles::Exists(install + "\\f0"));
    EXPECT_FALSE(TestFiles::Exists(install + "\\f998"));
    EXPECT_TRUE(TestFiles::Exists(install + "\\f999"));
    EXPECT_TRUE(TestFiles::Exists(install + "\\f1199"));
}

TEST_F(Removal, MarksAServiceForDeletionThroughTheServiceManager) {
    const char* name = "NorvaneRemovalTestService";
    ASSERT_TRUE(TestServices::Make(name, "\"" + install + "\\service.exe\" -run"));
    Run(std::string("NTSERVICE=") + name + "\nNTSERVICE=NoSuchNorvaneService\n");
    EXPECT_FALSE(TestServices::Exists(name));
}

TEST_F(Removal, DeletesRegistryValuesUnderTheNamedRoot) {
    const std::string key = "Software\\NorvaneTests\\RegVal";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        TestRegistry::DeleteTree(root, key);
        TestRegistry::WriteString(root, key, "WindowPos", "1,2");
        TestRegistry::WriteString(root, key, "Keep", "k");
        TestRegistry::WriteString(root, key, "", "default");
    }
    TestRegistry::WriteString(HKEY_CURRENT_USER, key, "NoRoot", "stays");
    Run("REGVAL=HKEY_CURRENT_USER\\" + key + "\\WindowPos\nREGVAL=HKEY_LOCAL_MACHINE\\" + key +
        "\\WindowPos\nREGVAL=HKEY_LOCAL_MACHINE\\" + key + "\\\nREGVAL=" + key + "\\NoRoot\nREGVAL=hkey_current_user\\" +
        key + "\\NoRoot\n");
    EXPECT_FALSE(TestRegistry::ValueExists(HKEY_CURRENT_USER, key, "WindowPos"));
    EXPECT_FALSE(TestRegistry::ValueExists(HKEY_LOCAL_MACHINE, key, "WindowPos"));
    EXPECT_FALSE(TestRegistry::ValueExists(HKEY_LOCAL_MACHINE, key, ""));
    EXPECT_TRUE(TestRegistry::ValueExists(HKEY_CURRENT_USER, key, ""));
    EXPECT_TRUE(TestRegistry::ValueExists(HKEY_CURRENT_USER, key, "Keep"));
    EXPECT_TRUE(TestRegistry::ValueExists(HKEY_CURRENT_USER, key, "NoRoot"));
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) TestRegistry::DeleteTree(root, key);
}

TEST_F(Removal, StartsACompanionProgramWithItsCommandAsWholeCommandLine) {
    CopyTool("companion.exe", "cleanup.exe");
    CopyTool("companion.exe", "tool.Dll");  // only ".dll" and ".DLL" name libraries
    Run("RUN3RD=cleanup.exe\nRUN3RDCMD=/quiet --all\nRUN3RDCMD=again\nRUN3RD=tool.Dll\nRUN3RDCMD=as program\n");
    std::string log = product.Folder() + "\\companion-program.log";
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 10000; ::Sleep(20))
        if (TestFiles::Read(log).size() >= std::string("/quiet --all\nagain\nas program\n").size()) break;
    std::string lines = TestFiles::Read(log);
    EXPECT_NE(lines.find("/quiet --all\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("again\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("as program\n"), std::string::npos) << lines;
}

TEST_F(Removal, CallsACompanionLibraryEntryWithItsFullPath) {
    std::string library = CopyTool("companion.dll", "helper.dll");
    Run("RUN3RD=helper.dll\nRUN3RDCMD=NoSuchEntry\nRUN3RDCMD=RemoveCompanionData\n");
    EXPECT_EQ(TestFiles::Read(product.Folder() + "\\companion-library.log"), library + "\n");
}

TEST_F(Removal, OpensALinkWithTheDefaultHandler) {
    // The prefix's own handler for http links is replaced by the companion for the test.
    const std::string command = "Software\\Classes\\http\\shell\\open\\command";
    std::optional<std::string> previous = TestRegistry::ReadString(HKEY_LOCAL_MACHINE, command, "");
    std::string handler = CopyTool("companion.exe", "browser.exe");
    TestRegistry::WriteString(HKEY_LOCAL_MACHINE, command, "", "\"" + handler + "\" \"%1\"");
    Run("RUN3RD=https://example.invalid/notalink\nRUN3RDCMD=x\nRUN3RD=http://example.invalid/bye\nRUN3RDCMD=ignored\n");
    std::string lines = WaitForFile(product.Folder() + "\\companion-program.log");
    if (previous) TestRegistry::WriteString(HKEY_LOCAL_MACHINE, command, "", *previous);
    EXPECT_NE(lines.find("http://example.invalid/bye"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("https://"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("ignored"), std::string::npos) << lines;
}

TEST_F(Removal, RemoveAllTakesTheInstallFolderWithEverythingInIt) {
    File("kept-by-log.txt");
    TestFiles::MakeDirectories(install + "\\deep\\er");
    File("deep\\er\\user-data.txt");
    ::SetFileAttributesA((install + "\\deep\\er\\user-data.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    Run("REMOVEALL\n");  // without "=" the line is no REMOVEALL record
    EXPECT_TRUE(TestFiles::Exists(install + "\\kept-by-log.txt"));
    Run("REMOVEALL=\n");
    EXPECT_FALSE(TestFiles::Exists(install));
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

TEST_F(Removal, DeletesTheRegistrationInBothViewsButNotOneWithSubkeys) {
    Run("");
    EXPECT_FALSE(TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, product.UninstallKey()));
    EXPECT_FALSE(TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, product.UninstallKey32()));
    product.Register("Removal Test", install);
    TestRegistry::WriteString(HKEY_LOCAL_MACHINE, product.UninstallKey() + "\\Child", "x", "y");
    Run("");
    EXPECT_TRUE(TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, product.UninstallKey()));
}

TEST_F(Removal, CleansUpTheSpecialProductOnlyWhenItsCompanionWasNamed) {
    const std::string folder = "C:\\Program Files\\Pelmora Studio";
    auto installSpecial = [&] {
        TestRegistry::WriteString(HKEY_CURRENT_USER, "Software\\Brellix\\Pelmora Studio", "Path", folder);
        TestFiles::MakeDirectories(folder + "\\bin");
        TestFiles::Write(folder + "\\bin\\PelmoraHelper.exe", "MZ");
    };
    installSpecial();
    Run("FILE=" + install + "\\other.exe\n");
    EXPECT_TRUE(TestRegistry::KeyExists(HKEY_CURRENT_USER, "Software\\Brellix\\Pelmora Studio"));
    EXPECT_TRUE(TestFiles::Exists(folder));

    Run("FILE=" + folder + "\\bin\\PelmoraHelper.exe\n");
    EXPECT_FALSE(TestRegistry::KeyExists(HKEY_CURRENT_USER, "Software\\Brellix\\Pelmora Studio"));
    EXPECT_TRUE(TestRegistry::KeyExists(HKEY_CURRENT_USER, "Software\\Brellix"));
    EXPECT_FALSE(TestFiles::Exists(folder));
    TestRegistry::DeleteTree(HKEY_CURRENT_USER, "Software\\Brellix");
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

// (A log that is locked, a folder or random bytes is run in the refusals.)
TEST_F(Removal, AnUnreadableLogRemovesNothingAndKeepsTheRegistration) {
    std::string kept = File("kept.txt");
    TheProduct().uninstallLogPath = product.Folder() + "\\missing.log";
    TheProduct().companionSeenFlag = kFlagSet;
    CNVEngine engine(&page);
    engine.Run();
    EXPECT_TRUE(engine.LogUnreadable());
    EXPECT_TRUE(TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, product.UninstallKey()));
    EXPECT_TRUE(TestFiles::Exists(kept));
    EXPECT_TRUE(TestFiles::Exists(install));
}

TEST(RemoveTreeTest, MovesTheCurrentDirectoryOutOfTheTreeFirst) {
    std::string root = TestFiles::FreshTempFolder("remove-tree");
    TestFiles::MakeDirectories(root + "\\tree\\inner\\most");
    TestFiles::Write(root + "\\tree\\inner\\file.txt", "x");
    ASSERT_TRUE(::SetCurrentDirectoryA((root + "\\tree\\inner\\most").c_str()));
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
