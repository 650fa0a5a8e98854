// norvexec started as a process against a product installed into the prefix: every
// effect of the log checked afterwards, the trace lines checked in order.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestPaths.h"
#include "support/ChildProcess.h"
#include "support/DialogWindow.h"
#include "support/RemovalLogText.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "support/TestRegistry.h"
#include "support/TestServices.h"
#include "support/TraceRecorder.h"

namespace {
const char kSpecialFolder[] = "C:\\Program Files\\Pelmora Studio";
const char kSpecialKey[] = "Software\\Brellix\\Pelmora Studio";
const char kSettingsKey[] = "Software\\Norvane Fixture";
const char kLinkCommand[] = "Software\\Classes\\http\\shell\\open\\command";

// A product with one of everything an uninstall log can name.
class FixtureProduct {
public:
    explicit FixtureProduct(const std::string& code)
        : product(code), install("C:\\Program Files\\Norvane Fixture " + code), extra(install + " extra"),
          service("NorvaneFixture" + code.substr(1, 6)) {
        Clean();
        previousLinkHandler = TestRegistry::ReadString(HKEY_LOCAL_MACHINE, kLinkCommand, "");
    }
    ~FixtureProduct() {
        if (previousLinkHandler) TestRegistry::WriteString(HKEY_LOCAL_MACHINE, kLinkCommand, "", *previousLinkHandler);
        Clean();
    }

    // Past 999 folders only where asked: they cost seconds to make and remove.
    void Install(const std::string& language, bool manyFolders = false) {
        folders = manyFolders ? 1200 : 0;
        product.Register("Fixture Notes", install);
        for (const char* folder : {"\\docs", "\\bin", "\\data\\sub"}) TestFiles::MakeDirectories(install + folder);
        for (const char* file : {"\\a.txt", "\\b.txt", "\\docs\\manual.txt", "\\bin\\tool.exe", "\\bin\\Product.lnk",
                                 "\\data\\sub\\x.dat", "\\data\\user-notes.txt"})
            TestFiles::Write(install + file, "content");
        ::SetFileAttributesA((install + "\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        TestFiles::Write(neighbour(), "keep");

        for (const char* key : {kSettingsKey, "SOFTWARE\\Norvane Fixture"}) {
            TestRegistry::WriteString(HKEY_CURRENT_USER, key, "WindowPos", "1,2,3,4");
            TestRegistry::WriteString(HKEY_LOCAL_MACHINE, key, "InstallDir", install);
            TestRegistry::WriteString(HKEY_LOCAL_MACHINE, key, "", "default");
            TestRegistry::WriteString(HKEY_CURRENT_USER, key, "Keep", "yes");
        }
        TestRegistry::WriteString(HKEY_CURRENT_USER, kSpecialKey, "Path", kSpecialFolder);
        TestFiles::MakeDirectories(kSpecialFolder);
        TestFiles::Write(std::string(kSpecialFolder) + "\\PelmoraHelper.exe", "MZ");
        TestServices::Make(service, install + "\\bin\\tool.exe -service");

        CopyTool("companion.exe", "cleanup.exe");
        CopyTool("companion.dll", "helper.dll");
        std::string handler = "\"";
        handler += product.Folder() + "\\cleanup.exe\" \"%1\"";
        TestRegistry::WriteString(HKEY_LOCAL_MACHINE, kLinkCommand, "", handler);
        product.WriteLanguage(language);
        product.WriteLog(Log());
    }

    std::string Log() const {
        std::string log = "TOTALFILE=7\r\n";
        for (const char* file : {"\\a.txt", "\\b.txt", "\\docs\\manual.txt", "\\missing.txt", "\\bin\\tool.exe"})
            log += "FILE=" + install + file + "\r\n";
        log += "SHORTCUT=" + install + "\\bin\\Product.lnk\r\n";
        log += "FILE=" + std::string(kSpecialFolder) + "\\PelmoraHelper.exe\r\n";
        log += "DIR=" + install + "\\docs\\\r\nDIR=" + install + "\\bin\r\n";
        for (int i = 0; i < folders; ++i) {
            std::string folder = extra + "\\" + std::to_string(i);
            TestFiles::MakeDirectories(folder);
            log += "DIR=" + folder + "\r\n";
        }
        log += "NTSERVICE=" + service + "\r\n";
        log += "REGVAL=HKEY_CURRENT_USER\\" + std::string(kSettingsKey) + "\\WindowPos\r\n";
        log += "REGVAL=HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane Fixture\\InstallDir\r\n";
        log += "REGVAL=HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane Fixture\\\r\n";  // the key's default value
        log += "RUN3RD=cleanup.exe\r\nRUN3RDCMD=/quiet /product\r\n";
        log += "RUN3RD=helper.dll\r\nRUN3RDCMD=RemoveCompanionData\r\n";
        log += "RUN3RD=http://example.invalid/goodbye\r\nRUN3RDCMD=unused\r\n";
        log += "REMOVEALL=1\r\n";
        return log;
    }

    void ExpectRemoved() const {
        EXPECT_FALSE(TestFiles::Exists(install));
        EXPECT_TRUE(TestFiles::Exists(neighbour()));
        if (folders > 0) {
            EXPECT_FALSE(TestFiles::Exists(extra + "\\0"));
            // Two folders of the install folder come first: 997 of these fill the 999 slots.
            EXPECT_FALSE(TestFiles::Exists(extra + "\\996"));
            EXPECT_TRUE(TestFiles::Exists(extra + "\\997"));
        }
        EXPECT_FALSE(TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, product.UninstallKey()));
        EXPECT_FALSE(TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, product.UninstallKey32()));
        EXPECT_FALSE(TestRegistry::ValueExists(HKEY_CURRENT_USER, kSettingsKey, "WindowPos"));
        EXPECT_TRUE(TestRegistry::ValueExists(HKEY_CURRENT_USER, kSettingsKey, "Keep"));
        EXPECT_FALSE(TestRegistry::ValueExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane Fixture", "InstallDir"));
        EXPECT_FALSE(TestRegistry::ValueExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane Fixture", ""));
        EXPECT_FALSE(TestServices::Exists(service));
        EXPECT_FALSE(TestRegistry::KeyExists(HKEY_CURRENT_USER, kSpecialKey));
        EXPECT_FALSE(TestFiles::Exists(kSpecialFolder));
        EXPECT_EQ(TestFiles::Read(product.Folder() + "\\companion-library.log"), product.Folder() + "\\helper.dll\n");
        std::string started = WaitForLines(product.Folder() + "\\companion-program.log", 2);
        EXPECT_NE(started.find("/quiet /product\n"), std::string::npos) << started;
        EXPECT_NE(started.find("http://example.invalid/goodbye"), std::string::npos) << started;
    }

    std::string Arguments(const char* mode) const { return std::string(mode) + " " + product.Code(); }

    TestProduct product;
    const std::string install;
    const std::string extra;
    int folders = 0;
    const std::string service;

private:
    std::string neighbour() const { return install + " neighbour.txt"; }

    void CopyTool(const std::string& tool, const std::string& name) const {
        ::CopyFileA((NORVANE_TEST_BIN_DIR "\\" + tool).c_str(), (product.Folder() + "\\" + name).c_str(), FALSE);
    }

    static std::string WaitForLines(const std::string& path, size_t count) {
        std::string text;
        for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 10000; ::Sleep(20)) {
            text = TestFiles::Read(path);
            if (static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) >= count) break;
        }
        return text;
    }

    void Clean() const {
        TestFiles::RemoveTree(install);
        TestFiles::RemoveTree(extra);
        ::DeleteFileA(neighbour().c_str());
        TestFiles::RemoveTree(kSpecialFolder);
        TestRegistry::DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
        TestRegistry::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane Fixture");
        TestRegistry::DeleteTree(HKEY_CURRENT_USER, "Software\\Brellix");
        TestServices::Delete(service);
    }

    std::optional<std::string> previousLinkHandler;
};

const char kLanguage[] =
    "[SetupProgress]\r\n10=<ProductName> is gone.\r\n14=Remove <ProductName> (<ProductCode>) now?\r\n"
    "15=<ProductName> Uninstall\r\n";

// The labels of a run, the worker's own line taken out; it must come between the
// worker's start and the end of the wait.
std::vector<std::string> InterfaceLabels(const std::vector<std::string>& lines) {
    std::vector<std::string> labels = TraceLabels(lines);
    auto worker = std::find(labels.begin(), labels.end(), "StartCopyNowTH RETURN");
    EXPECT_NE(worker, labels.end());
    if (worker == labels.end()) return labels;
    EXPECT_LT(std::find(labels.begin(), labels.end(), "StartCopyNow 1"), worker);
    EXPECT_GT(std::find(labels.begin(), labels.end(), "StartCopyNow 3"), worker);
    labels.erase(worker);
    return labels;
}

// Both endings without a page quit from inside FinishUninstall.
std::vector<std::string> RunLabels(const char* ending) {
    return {"UN 1", "UN 2", "StartCopyNow 1", "StartCopyNow 2", "StartCopyNow 3", "UN 3", "FinishUninstall 1", ending,
            "ByeByeInstall 1", "UN 4"};
}

// The ending without a page: the closing message, answered, then the program's end.
void ExpectClosingMessageAndEnd(ChildProcess& norvexec) {
    DialogWindow done = DialogWindow::WaitFor(norvexec, 30000);
    ASSERT_TRUE(done);
    EXPECT_EQ(done.Text(), "Product uninstalled.");
    EXPECT_EQ(done.Caption(), "Norvane");
    done.Press(IDOK);
    EXPECT_EQ(norvexec.Wait(10000), std::optional<DWORD>(0u));
}
}  // namespace

TEST(UninstallRun, SilentRemovesEverythingWithoutAnyWindowAfterHalfASecond) {
    FixtureProduct fixture("{RUN-SILENT-01}");
    fixture.Install(kLanguage, true);
    TraceRecorder trace;
    ASSERT_TRUE(trace.Listening());
    const std::string first = fixture.install + "\\a.txt";
    DWORD started = ::GetTickCount();
    ChildProcess norvexec(NorvexecPath(), fixture.Arguments("/S"));
    while (TestFiles::Exists(first) && ::GetTickCount() - started < 30000) ::Sleep(5);
    DWORD removalSeen = ::GetTickCount() - started;
    EXPECT_GE(removalSeen, 500u);
    EXPECT_EQ(norvexec.Wait(30000), std::optional<DWORD>(0u));
    EXPECT_EQ(FindProcessWindow(norvexec.Id(), "#32770"), nullptr);
    fixture.ExpectRemoved();
    EXPECT_EQ(InterfaceLabels(trace.Stop()), RunLabels("FinishUninstall 2"));
}

// Modify goes on at once; uninstall asks with the language texts, a Yes goes on
// and nothing more shows until the removal is over.
TEST(UninstallRun, ModifyAndUninstallAnsweredYesRemoveAndEndWithAMessage) {
    for (const char* mode : {"/I", "x/Ry"}) {
        SCOPED_TRACE(mode);
        FixtureProduct fixture("{RUN-MESSAGE-01}");
        fixture.Install(kLanguage);
        TraceRecorder trace;
        ChildProcess norvexec(NorvexecPath(), fixture.Arguments(mode));
        if (mode[0] == 'x') {
            DialogWindow question = DialogWindow::WaitFor(norvexec);
            ASSERT_TRUE(question);
            EXPECT_EQ(question.Text(), "Remove Fixture Notes ({RUN-MESSAGE-01}) now?");
            EXPECT_EQ(question.Caption(), "<ProductName> Uninstall");
            EXPECT_TRUE(question.HasItem(IDYES) && question.HasItem(IDNO) && question.HasIcon());
            EXPECT_TRUE(TestFiles::Exists(fixture.install + "\\a.txt"));  // nothing goes while the question is up
            question.Press(IDYES);
            ::Sleep(300);
            EXPECT_EQ(FindProcessWindow(norvexec.Id(), "#32770"), nullptr);
        }
        ExpectClosingMessageAndEnd(norvexec);
        fixture.ExpectRemoved();
        EXPECT_EQ(InterfaceLabels(trace.Stop()), RunLabels("FinishUninstall 3"));
    }
}

TEST(UninstallRun, AThemeWithTheUninstallPageEndsWithThePageInsteadOfAMessage) {
    FixtureProduct fixture("{RUN-THEME-01}");
    fixture.Install(kLanguage);
    TestFiles::MakeDirectories(fixture.product.Folder() + "\\theme");
    // A page file without settings or controls: an empty page, closed by the user.
    TestFiles::Write(fixture.product.Folder() + "\\theme\\uninstall.lcd", "[Window]\r\n");
    TraceRecorder trace;
    ChildProcess norvexec(NorvexecPath(), fixture.Arguments("/I"));
    DialogWindow page = DialogWindow::WaitFor(norvexec);
    ASSERT_TRUE(page);
    EXPECT_EQ(page.Caption(), "");
    ASSERT_TRUE(trace.WaitForLabel("UN 4", 30000));
    ::PostMessageA(page.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(norvexec.Wait(10000), std::optional<DWORD>(259u));
    fixture.ExpectRemoved();
    EXPECT_EQ(InterfaceLabels(trace.Stop()),
              (std::vector<std::string>{"UN 1", "UN 2", "StartCopyNow 1", "StartCopyNow 2", "StartCopyNow 3", "UN 3",
                                        "FinishUninstall 1", "FinishUninstall 4", "UN 4", "ByeByeInstall 1"}));
}

TEST(UninstallRun, BadLogsNeitherCrashNorHangNorRemoveWhatTheyDoNotName) {
    TestProduct product("{RUN-BAD-INPUT-01}");  // no registration, no language file
    // Where products go, and named by a DIR line: the product's folder.
    const std::string folder = "C:\\Program Files\\Norvane Bad Input";
    TestFiles::RemoveTree(folder);
    TestFiles::MakeDirectories(folder);
    std::string named = folder + "\\named.txt";
    std::string unnamed = folder + "\\unnamed.txt";
    TestFiles::Write(named, "x");
    TestFiles::Write(unnamed, "x");
    std::string garbage;
    for (unsigned i = 0, seed = 7; i < 100000; ++i) {
        seed = seed * 1103515245 + 12345;
        char c = static_cast<char>(seed >> 16);
        garbage += c == 0x1A ? ' ' : c;
    }
    product.WriteLog("TOTALFILE=70000\r\n" + std::string("FILE=C:\\nul\0byte\n", 17) + garbage + "\n" +
                     std::string(1 << 20, 'L') + "\nRUN3RDCMD=orphan\nREGVAL=Software\\NoRoot\\Value\n" +
                     "FILE=" + folder + "\\" + std::string(300, 'p') + "\nDIR=" + std::string(400, 'd') +
                     "\nREMOVEALL=1\nFILE=" + named + "\nDIR=" + folder + "\n");
    ChildProcess norvexec(NorvexecPath(), "/S " + product.Code());
    EXPECT_EQ(norvexec.Wait(60000), std::optional<DWORD>(0u));
    EXPECT_FALSE(TestFiles::Exists(named));
    EXPECT_TRUE(TestFiles::Exists(unnamed));
    TestFiles::RemoveTree(folder);
}

TEST(UninstallRun, SilentRunShowsNoBoxAndItsLogTellsEachOutcome) {
    TestProduct product("{RUN-LOG-01}");
    product.Register("Logged Notes", "Logged Notes");  // no full path: REMOVEALL refuses it
    const std::string folder = "C:\\Program Files\\Norvane Run Log", in = folder + "\\";
    TestFiles::RemoveTree(folder);
    TestFiles::MakeDirectories(in + "full");
    TestFiles::MakeDirectories(in + "empty");
    for (const char* file : {"a.txt", "caf\xE9.txt", "locked.txt", "full\\kept.txt"}) TestFiles::Write(in + file, "x");
    const std::string value = "HKEY_CURRENT_USER\\Software\\Norvane Log Test\\Setting";
    TestRegistry::WriteString(HKEY_CURRENT_USER, "Software\\Norvane Log Test", "Setting", "1");
    product.WriteLog("TOTALFILE=4\nFILE=" + in + "a.txt\nFILE=" + in + "caf\xE9.txt\nFILE=" + in + "missing.txt\nFILE=" +
                     in + "locked.txt\nDIR=" + in + "full\nDIR=" + in + "empty\\\nDIR=" + folder + "\nREGVAL=" + value + "\nREMOVEALL=1\n");
    // A page whose icon file is missing: a box the silent run must not show.
    TestFiles::MakeDirectories(product.Folder() + "\\theme");
    TestFiles::Write(product.Folder() + "\\theme\\uninstall.lcd",
                     "[INFO]\r\nTOTAL=1\r\n0=Icon,10,10,32,32,ICON,,,0\r\n[DADOS]\r\n0,t=2\r\n0,0=\r\n"
                     "0,1=Icon File:|C:\\missing-icon.ico|1\r\n");
    HANDLE locked = ::CreateFileA((in + "locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ChildProcess norvexec(NorvexecPath(), "/S " + product.Code() + " /LOG=\"" + in + "removal.log\"");
    EXPECT_EQ(norvexec.Wait(30000), std::optional<DWORD>(0u));  // a box would hold it for good
    ::CloseHandle(locked);

    const std::string text = TestFiles::Read(in + "removal.log");
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::string> lines = RemovalLogLines(text);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("norvexec /S {RUN-LOG-01} (Logged Notes), started ", 0), 0u) << lines[0];
    const std::string registration = "registration HKEY_LOCAL_MACHINE\\";
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{"message not shown: [Norvane] File not found: (C:\\missing-icon.ico)",
                                        "TOTALFILE 4: files to remove", "FILE " + in + "a.txt: removed",
                                        "FILE " + in + "caf\xC3\xA9.txt: removed", "FILE " + in + "missing.txt: not there",
                                        "FILE " + in + "locked.txt: left: " + SystemText(ERROR_SHARING_VIOLATION),
                                        "REGVAL " + value + ": removed",
                                        "DIR " + in + "full: left: " + SystemText(ERROR_DIR_NOT_EMPTY),
                                        "DIR " + in + "empty: removed",
                                        "DIR " + folder + ": left: " + SystemText(ERROR_DIR_NOT_EMPTY),
                                        "REMOVEALL Logged Notes: refused, not a full path",
                                        registration + product.UninstallKey() + ": removed",
                                        registration + product.UninstallKey32() + ": removed", "exit code 0"}));
    TestRegistry::DeleteTree(HKEY_CURRENT_USER, "Software\\Norvane Log Test");
    TestFiles::RemoveTree(folder);
}
