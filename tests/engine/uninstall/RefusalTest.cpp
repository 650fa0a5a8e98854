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
    const std::string third = std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + CanaryTree::kThirdCode;
    const std::string third32 = "SOFTWARE\\Wow6432Node" + third.substr(8);
    const std::string run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
    const std::string notShown = "left, not shown to be the product's: ";
    const std::string outside = notShown + "its data names " + canaries.OutsideProgram() + ", outside the product's folders";
    const std::string windows = TestFiles::WindowsDirectory();
    char temporary[MAX_PATH + 1] = {};
    const std::string temp(temporary, ::GetTempPathA(sizeof temporary, temporary) - 1);
    const std::string notOwn = "refused, not the product's service: its program ";
    const std::string ownKey = "SOFTWARE\\Norvane Refusal";
    const std::string environment = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    // The user's Documents redirected, as a user may move them.
    const std::string redirected = "C:\\Norvane Redirected Documents";
    const std::string shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
    TestRegistry::SavedValue savedPath(HKEY_LOCAL_MACHINE, environment, "Path");
    TestRegistry::SavedValue savedUserPath(HKEY_CURRENT_USER, "Environment", "Path");
    TestRegistry::SavedValue savedPersonal(HKEY_CURRENT_USER, shellFolders + "Shell Folders", "Personal");
    TestRegistry::SavedValue savedUserPersonal(HKEY_CURRENT_USER, shellFolders + "User Shell Folders", "Personal");
    const std::string sharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    const std::string common = std::string(kInstall) + "\\common.dll", own = std::string(kInstall) + "\\own.dll";
    const Row kRows[] = {
        {"a doubled backslash in the registered folder", "/S", "REMOVEALL=1\r\n", {}, 0,
         {"REMOVEALL " + documents + ": refused, a protected folder"},
         [&] { product.Register("Refusal", secondProfile + "\\\\Documents"); }},
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
        {"a companion outside the product's folder", "/S",
         "RUN3RD=..\\..\\..\\Program Files\\Norvane Canary Third\\tool.exe\r\nRUN3RDCMD=/x\r\n", {}, 0,
         {"RUN3RDCMD /x: refused, outside the product's folder: " + canaries.OutsideProgram()}},
        {"another product's install folder, its registration deleted on an earlier line", "/S",
         "REGVAL=HKEY_LOCAL_MACHINE\\" + third + "\\LastInstallationPath\r\nREGVAL=HKEY_LOCAL_MACHINE\\" + third32 +
             "\\LastInstallationPath\r\nREMOVEALL=1\r\n",
         {}, 0,
         {"REGVAL HKEY_LOCAL_MACHINE\\" + third + "\\LastInstallationPath: refused, inside another product's registration",
          "REGVAL HKEY_LOCAL_MACHINE\\" + third32 + "\\LastInstallationPath: refused, inside another product's registration",
          "REMOVEALL " + canaries.ThirdFolder() + ": refused, it holds another product's folder"},
         [&] { product.Register("Refusal", canaries.ThirdFolder()); }},
        {"redirected Documents, their shell folders deleted on an earlier line", "/S",
         "REGVAL=HKEY_CURRENT_USER\\" + shellFolders + "Shell Folders\\Personal\r\nREGVAL=HKEY_CURRENT_USER\\" +
             shellFolders + "User Shell Folders\\Personal\r\nREMOVEALL=1\r\n",
         {}, 0,
         {"REGVAL HKEY_CURRENT_USER\\" + shellFolders + "Shell Folders\\Personal: refused, a value that the removal's own checks read",
          "REGVAL HKEY_CURRENT_USER\\" + shellFolders +
              "User Shell Folders\\Personal: refused, a value that the removal's own checks read",
          "REMOVEALL " + redirected + ": refused, a protected folder"},
         [&] {
             TestFiles::MakeDirectories(redirected);
             TestFiles::Write(redirected + "\\letter.txt", "mine");
             for (const char* place : {"Shell Folders", "User Shell Folders"})
                 TestRegistry::WriteString(HKEY_CURRENT_USER, shellFolders + place, "Personal", redirected);
             product.Register("Refusal", redirected);
         },
         [&] {
             EXPECT_EQ(TestFiles::Read(redirected + "\\letter.txt"), "mine");
             TestFiles::RemoveTree(redirected);
         }},
        {"services of the platform, of the service host and of another product", "/S",
         "NTSERVICE=Spooler\r\nNTSERVICE=rpcss\r\nNTSERVICE=NorvaneCanaryHost\r\nNTSERVICE=" +
             std::string(CanaryTree::kThirdService) + "\r\n",
         {}, 0,
         {"NTSERVICE Spooler: " + notOwn + "C:\\windows\\system32\\spoolsv.exe lies outside the product",
          "NTSERVICE rpcss: " + notOwn + "C:\\windows\\system32\\rpcss.exe lies outside the product",
          "NTSERVICE NorvaneCanaryHost: " + notOwn + "C:\\windows\\system32\\svchost.exe is the system's service host",
          "NTSERVICE " + std::string(CanaryTree::kThirdService) + ": " + notOwn + canaries.OutsideProgram() +
              " lies outside the product"}},
        {"vital values, other programs' sign-in entries and other products' registrations", "/S",
         "REGVAL=HKEY_LOCAL_MACHINE\\" + environment + "\\Path\r\nREGVAL=HKEY_LOCAL_MACHINE\\" + run + "NorvaneCanary\r\nREGVAL=HKEY_CURRENT_USER\\" + run +
             "NorvaneCanary\r\nREGVAL=HKEY_CURRENT_USER\\HKEY_LOCAL_MACHINE\\" + run +
             "NorvaneCanary\r\nREGVAL=HKEY_LOCAL_MACHINE\\" + third + "\\NorvaneCanary\r\nREGVAL=HKEY_LOCAL_MACHINE\\" +
             run + "NorvaneRefusal\r\nREGVAL=HKEY_CURRENT_USER\\HKEY_LOCAL_MACHINE\\" + ownKey +
             "\\Setting\r\nREGVAL=HKEY_CURRENT_USER\\Environment\\Path\r\nREGVAL=HKEY_CURRENT_USER\\Environment\\" +
             "NORVANE_REFUSAL\r\nREGVAL=HKEY_CLASSES_ROOT\\exefile\\shell\\open\\command\\\r\n",
         {}, 0,
         {"REGVAL HKEY_LOCAL_MACHINE\\" + environment + "\\Path: refused, a vital place of the system",
          "REGVAL HKEY_LOCAL_MACHINE\\" + run + "NorvaneCanary: " + outside,
          "REGVAL HKEY_CURRENT_USER\\" + run + "NorvaneCanary: " + outside,
          "REGVAL HKEY_LOCAL_MACHINE\\" + third + "\\NorvaneCanary: refused, inside another product's registration",
          "REGVAL HKEY_LOCAL_MACHINE\\" + run + "NorvaneRefusal: removed",
          "REGVAL HKEY_LOCAL_MACHINE\\" + ownKey + "\\Setting: removed",
          "REGVAL HKEY_CURRENT_USER\\Environment\\Path: " + notShown + "its data names C:\\Tools, outside the product's folders",
          "REGVAL HKEY_CURRENT_USER\\Environment\\NORVANE_REFUSAL: removed",
          "REGVAL HKEY_CLASSES_ROOT\\exefile\\shell\\open\\command\\: " + notShown +
              "its data names no path in the product's folders"},
         [&] {
             TestRegistry::WriteString(HKEY_LOCAL_MACHINE, run, "NorvaneRefusal", "\"" + app + "\" /tray");
             TestRegistry::WriteString(HKEY_LOCAL_MACHINE, ownKey, "Setting", "1");
             TestRegistry::WriteString(HKEY_CURRENT_USER, "Environment", "Path", "C:\\Tools;" + std::string(kInstall));
             TestRegistry::WriteString(HKEY_CURRENT_USER, "Environment", "NORVANE_REFUSAL", "%ProgramFiles%\\Norvane Refusal",
                                       REG_EXPAND_SZ);
         },
         [&] {
             EXPECT_TRUE(TestRegistry::ValueExists(HKEY_LOCAL_MACHINE, environment, "Path"));
             EXPECT_TRUE(TestRegistry::ValueExists(HKEY_CURRENT_USER, "Environment", "Path"));
             EXPECT_TRUE(TestRegistry::ValueExists(HKEY_CLASSES_ROOT, "exefile\\shell\\open\\command", ""));
             EXPECT_FALSE(TestRegistry::ValueExists(HKEY_LOCAL_MACHINE, run, "NorvaneRefusal"));
             TestRegistry::DeleteTree(HKEY_LOCAL_MACHINE, ownKey);
         }},
        {"the uninstall information through a folder link, another drive letter and the administrative share", "/S",
         "FILE=" + canaries.InformationLink() + "\\" + CanaryTree::kThirdCode + "\\uninstall.log\r\nFILE=" +
             CanaryTree::OnOtherDrive(canaries.ThirdInformation()) + "\r\nFILE=" +
             CanaryTree::OnAdminShare(canaries.ThirdInformation()) + "\r\n",
         {}, 0,
         {"FILE " + canaries.InformationLink() + "\\" + CanaryTree::kThirdCode +
              "\\uninstall.log: refused, part of the uninstall information",
          "FILE " + CanaryTree::OnOtherDrive(canaries.ThirdInformation()) + ": refused, part of the uninstall information",
          "FILE " + CanaryTree::OnAdminShare(canaries.ThirdInformation()) + ": refused, part of the uninstall information"}},
        {"files that other products share", "/S", "FILE=" + common + "\r\nFILE=" + common + "\r\nFILE=" + own + "\r\n", {}, 0,
         {"FILE " + common + ": kept, shared with other products: its SharedDLLs count went from 3 to 2",
          "FILE " + common + ": kept, shared with other products: the product's share went on an earlier line",
          "FILE " + own + ": removed, and its SharedDLLs count"},
         [&] {
             for (const std::string& file : {common, own}) TestFiles::Write(file, "installed");
             TestRegistry::WriteDword(HKEY_LOCAL_MACHINE, sharedDlls, common, 3);
             TestRegistry::WriteDword(HKEY_LOCAL_MACHINE, sharedDlls, own, 1);
         },
         [&] {
             EXPECT_EQ(TestRegistry::ReadDword(HKEY_LOCAL_MACHINE, sharedDlls, common), std::optional<DWORD>(2));
             EXPECT_FALSE(TestRegistry::ValueExists(HKEY_LOCAL_MACHINE, sharedDlls, own));
             EXPECT_TRUE(TestFiles::Exists(common) && !TestFiles::Exists(own));
             TestRegistry::DeleteValue(HKEY_LOCAL_MACHINE, sharedDlls, common);
         }},
        {"a Ctrl+Z and a NUL inside a line", "/S", "FILE=" + app + "\x1A.old\r\nFILE=" + app + '\0' + ".tmp\r\n" + appLog,
         {}, 0,
         {"FILE " + app + "<1A>.old: left: " + SystemText(ERROR_INVALID_NAME),
          "FILE " + app + "<00>.tmp: left, it holds a NUL byte, which no name can hold", "FILE " + app + ": removed"},
         nullptr, removed},
        {"what is not shown to be the product's, and places no product's folder may be", "/S",
         "FILE=" + documents + "\\norvane-canary.txt\r\nFILE=" + canaries.ThirdFolder() + "\\norvane-canary.txt\r\nFILE=" +
             windows + "\\norvane-canary.txt\r\nDIR=" + documents + "\\Work\r\nDIR=" + windows +
             "\\system32\\drivers\r\nDIR=" + temp + "\r\nSHORTCUT=" + canaries.FileLink() +
             "\r\nRUN3RD=myscheme://run?u=http://x\r\nRUN3RDCMD=/x\r\nREMOVEALL=1\r\n",
         {}, 0,
         {"FILE " + documents + "\\norvane-canary.txt: " + notShown +
              "outside its folders, neither a shortcut where shortcuts go nor a shared file",
          "FILE " + canaries.ThirdFolder() + "\\norvane-canary.txt: refused, it lies in another product's folder",
          "FILE " + windows + "\\norvane-canary.txt: " + notShown +
              "outside its folders, neither a shortcut where shortcuts go nor a shared file",
          "DIR " + documents + "\\Work: refused, inside a user's documents",
          "DIR " + windows + "\\system32\\drivers: refused, inside the Windows folder",
          "DIR " + temp + ": refused, a temporary folder or inside one",
          "SHORTCUT " + canaries.FileLink() + ": " + notShown + "outside its folders, neither a shortcut where shortcuts go nor a shared file",
          "RUN3RDCMD /x: " + product.Folder() + "\\myscheme:\\run?u=http:\\x not there",
          "REMOVEALL " + windows + "\\notepad.exe: refused, inside the Windows folder"},
         [&] { product.Register("Refusal", windows + "\\notepad.exe"); }},
        {"the registration a link to another product's", "/S", appLog, {}, 0,
         {"registration HKEY_LOCAL_MACHINE\\" + product.UninstallKey() + ": removed, a link: the key it leads to was kept"},
         [&] {
             TestRegistry::DeleteTree(HKEY_LOCAL_MACHINE, product.UninstallKey());
             TestRegistry::MakeLink(HKEY_LOCAL_MACHINE, product.UninstallKey(), L"\\REGISTRY\\MACHINE\\" + std::wstring(third.begin(), third.end()));
         },
         [&] {
             EXPECT_FALSE(registered());
             TestRegistry::DeleteLink(HKEY_LOCAL_MACHINE, product.UninstallKey());
         }},
        {"the special product's folder, registered", "/S", "FILE=C:\\nowhere\\PelmoraHelper.exe\r\n", {}, 0,
         {"special product C:\\Program Files\\Pelmora Studio: refused, it holds another product's folder"}},
        {"a product code that is no name", "/S\\..\\" + std::string(CanaryTree::kThirdCode), appLog, {}, ERROR_UNKNOWN_PRODUCT,
         {std::string("message not shown: [Norvane] ") + kNotFound, "exit code 1605"}, nullptr, untouched},
        {"a trial", "/S /WHATIF", appLog + "REMOVEALL=1\r\n", {}, 0,
         {"FILE " + app + ": would be removed", "REMOVEALL " + std::string(kInstall) + ": would be removed",
          "registration HKEY_LOCAL_MACHINE\\" + product.UninstallKey() + ": would be removed"},
         nullptr, untouched},
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
