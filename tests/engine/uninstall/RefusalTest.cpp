// What norvexec refuses, run as a process: each row a log, a registration or a
// command line that once removed what the product never installed, or
// reported success for a removal that did not happen. After every row each
// canary is intact.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "support/CanaryTree.h"
#include "support/ChildProcess.h"
#include "support/DialogWindow.h"
#include "support/RemovalLogText.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "support/TestRegistry.h"

namespace {
const char kCode[] = "{NORVANE-REFUSAL-01}";
const char kInstall[] = "C:\\Program Files\\Norvane Refusal";
const char kUnreadable[] = "Uninstallation information cannot be read. Norvane can't uninstall this software";
const char kNotFound[] = "Uninstallation information not found. Norvane can't uninstall this software";

struct Box {
    std::string text;  // its beginning
    int button;
};

struct Row {
    std::string name;
    std::string arguments;  // after the product code; the removal log is added unless it names one
    std::string log;        // the uninstall log written (before setup runs)
    std::vector<Box> boxes;
    DWORD exitCode;
    std::vector<std::string> lines;  // in the removal log
    std::function<void()> setup = nullptr;  // before the run
    std::function<void()> check = nullptr;  // after it
};
}  // namespace

TEST(Refusals, NothingOutsideTheProductGoesAndNoFailureReadsAsSuccess) {
    TestProduct product(kCode);
    CanaryTree canaries(product.Folder());
    const std::string app = std::string(kInstall) + "\\app.exe";
    const std::string uninstallLog = product.Folder() + "\\uninstall.log";
    const std::string documents = canaries.CurrentFolder();
    const std::string secondProfile = documents.substr(0, documents.rfind('\\'));
    const std::string removalLog = TestFiles::FreshTempFolder("refusals") + "\\removal.log";
    const std::string appLog = "TOTALFILE=1\r\nFILE=" + app + "\r\n";
    HANDLE lock = INVALID_HANDLE_VALUE;
    auto registered = [&] { return TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, product.UninstallKey()); };
    auto untouched = [&] {
        EXPECT_TRUE(registered());
        EXPECT_TRUE(TestFiles::Exists(app));
    };
    auto removed = [&] {
        EXPECT_FALSE(registered());
        EXPECT_FALSE(TestFiles::Exists(app));
    };
    const std::string badBytes("\x01\x80\xFFZ\x9C\r\n\x13\xE2", 9);

    const Row kRows[] = {
        {"a doubled backslash in the registered folder", "/S", "REMOVEALL=1\r\n", {}, 0,
         {"REMOVEALL " + documents + ": refused, a protected folder"},
         [&] { product.Register("Refusal", secondProfile + "\\\\Documents"); }},
        {"relative paths", "/S", "FILE=norvane-canary.txt\r\nFILE=\\norvane-canary.txt\r\n", {}, 0,
         {"FILE norvane-canary.txt: refused, not a full path", "FILE \\norvane-canary.txt: refused, not a full path"}},
        {"the removal log over the uninstall log", "/S /LOG=" + product.Folder() + "/./UNINSTALL.LOG", appLog, {}, 0,
         {}, nullptr, [&] {
             removed();
             EXPECT_EQ(TestFiles::Read(uninstallLog), appLog);
         }},
        {"the removal log among the uninstall information, asked", "/I /LOG=" + product.Folder() + "\\\\theme.log",
         appLog, {{"The removal log is not written to " + product.Folder() + "\\theme.log", IDOK},
                  {"Product uninstalled.", IDOK}}, 0, {}, nullptr, [&] {
             removed();
             EXPECT_FALSE(TestFiles::Exists(product.Folder() + "\\theme.log"));
         }},
        {"a locked uninstall log", "/S", appLog, {}, ERROR_INSTALL_FAILURE,
         {"uninstall log " + uninstallLog + ": not read: " + SystemText(ERROR_SHARING_VIOLATION),
          std::string("message not shown: [Norvane] ") + kUnreadable},
         [&] { lock = ::CreateFileA(uninstallLog.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr); },
         [&] {
             ::CloseHandle(lock);
             untouched();
         }},
        {"a folder for an uninstall log, asked", "/I", "", {{kUnreadable, IDOK}}, ERROR_INSTALL_FAILURE,
         {"uninstall log " + uninstallLog + ": not read: a folder, not a file"},
         [&] {
             ::DeleteFileA(uninstallLog.c_str());
             TestFiles::MakeDirectories(uninstallLog);
         },
         [&] {
             ::RemoveDirectoryA(uninstallLog.c_str());
             untouched();
         }},
        {"random bytes for an uninstall log", "/S", badBytes, {}, ERROR_INSTALL_FAILURE,
         {"uninstall log " + uninstallLog + ": not read: not one line of a kind the engine knows"}, nullptr,
         untouched},
        {"an uninstall log of blank lines", "/S", "\r\n \t\r\n", {}, 0,
         {"uninstall log " + uninstallLog + ": empty, nothing to remove"}},
        {"empty known folders and the drive's root", "/S",
         "DIR=" + secondProfile + "\\Favorites\r\nDIR=" + secondProfile + "/Links/\r\nDIR=C:\\\r\n", {}, 0,
         {"DIR " + secondProfile + "\\Favorites: refused, a protected folder",
          "DIR " + secondProfile + "\\Links: refused, a protected folder", "DIR C:\\: refused, a protected folder"}},
        {"the companion's name inside another name", "/S",
         "FILE=" + documents + "\\Why we dropped PelmoraHelper.exe.txt\r\n", {}, 0,
         {"FILE " + documents + "\\Why we dropped PelmoraHelper.exe.txt: not there"}},
        {"a companion outside the product's folder", "/S",
         "RUN3RD=..\\..\\..\\Program Files\\Norvane Canary Third\\tool.exe\r\nRUN3RDCMD=/x\r\n", {}, 0,
         {"RUN3RDCMD /x: refused, outside the product's folder: " + canaries.OutsideProgram()}},
        {"a Ctrl+Z inside a line", "/S", "FILE=" + app + "\x1A.old\r\n" + appLog, {}, 0,
         {"FILE " + app + "<1A>.old: left: " + SystemText(ERROR_INVALID_NAME), "FILE " + app + ": removed"}, nullptr, removed},
        {"a name and values that would forge lines", "/S",
         "FILE=" + app + "\rREMOVEALL C:\\: removed\r\nNTSERVICE=x\x0B" "exit code 0\x1A\r\n" + appLog, {}, 0,
         {"FILE " + app + "<0D>REMOVEALL C:\\: removed: left: " + SystemText(ERROR_INVALID_NAME), "NTSERVICE x<0B>exit code 0<1A>: not there"},
         [&] { product.Register("Refusal\r\nexit code 0\nREMOVEALL C:\\: removed<", kInstall); },
         [&] {
             removed();
             const std::vector<std::string> lines = RemovalLogLines(TestFiles::Read(removalLog));
             EXPECT_EQ(lines[0].rfind("norvexec /S " + std::string(kCode) +
                                          " (Refusal<0D><0A>exit code 0<0A>REMOVEALL C:\\: removed<3C>), started ",
                                      0),
                       0u);
             EXPECT_EQ(std::count(lines.begin(), lines.end(), "exit code 0"), 1);
             EXPECT_EQ(lines.back(), "exit code 0");
             for (const std::string& line : lines) EXPECT_NE(line.rfind("REMOVEALL", 0), 0u) << line;
         }},
        {"a switch in lower case", "/s", appLog, {{"Norvane Uninstaller\r\n\r\nUsage:", IDOK}},
         ERROR_INVALID_COMMAND_LINE, {}, nullptr, untouched},
        {"an unknown product asked about", "/R", appLog, {{kNotFound, IDOK}}, ERROR_UNKNOWN_PRODUCT, {"exit code 1605"},
         [&] { TestRegistry::DeleteTree(HKEY_LOCAL_MACHINE, product.UninstallKey()); },
         [&] { EXPECT_TRUE(TestFiles::Exists(app)); }},
    };
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        TestFiles::MakeDirectories(kInstall);
        TestFiles::Write(app, "installed");
        product.Register("Refusal", kInstall);
        product.WriteLog(row.log);
        ::DeleteFileA(removalLog.c_str());
        if (row.setup) row.setup();
        const bool ownLog = row.arguments.find("/LOG") == std::string::npos;
        ChildProcess norvexec(NorvexecPath(), row.arguments.substr(0, 2) + " " + kCode + row.arguments.substr(2) +
                                                  (ownLog ? " /LOG=\"" + removalLog + "\"" : ""),
                              documents);
        for (const Box& expected : row.boxes) {
            DialogWindow box = DialogWindow::WaitFor(norvexec, 30000);
            ASSERT_TRUE(box) << expected.text;
            EXPECT_EQ(box.Text().substr(0, expected.text.size()), expected.text);
            box.Press(expected.button);
            box.WaitClosed();
        }
        EXPECT_EQ(norvexec.Wait(30000), std::optional<DWORD>(row.exitCode));
        const std::string written = TestFiles::Read(removalLog);
        for (const std::string& line : row.lines) EXPECT_NE(written.find("\n" + line + "\r\n"), std::string::npos) << line << "\n" << written;
        if (row.check) row.check();
        EXPECT_EQ(canaries.Damaged(), std::vector<std::string>());
    }
    TestFiles::RemoveTree(kInstall);
}
