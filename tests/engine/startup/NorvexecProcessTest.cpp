#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>

#include "support/ChildProcess.h"
#include "support/DialogWindow.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "support/TestRegistry.h"
#include "TestPaths.h"

namespace {
const char kUsage[] =
    "Norvane Uninstaller\r\n\r\nUsage:\r\nnorvexec.exe /R {productcode} to uninstall.\r\n"
    "norvexec.exe /I {productcode} to modify.\r\n\r\nnorvexec.exe /S {productcode} to silent uninstall.";
const char kNotFound[] = "Uninstallation information not found. Norvane can't uninstall this software";
}  // namespace

// Exit codes as a deployment tool reads them (those of Windows Installer), in
// every mode; a silent run shows no box, and its log ends with the code. Without
// a switch (the switches' own table has their spellings) the box shows the usage.
// The readme that ships quotes that box and explains each of these codes.
TEST(NorvexecProcess, ExitCodesTellHowTheRunEnded) {
    const std::string readme = TestFiles::Read(NORVANE_SOURCE_DIR "\\docs\\README-windows.txt");
    std::istringstream usage(kUsage);
    for (std::string line; std::getline(usage, line);) {
        if (line.ends_with('\r')) line.pop_back();
        if (!line.empty()) {
            EXPECT_NE(readme.find("\n    " + line + "\n"), std::string::npos) << line;
        }
    }
    TestProduct product("{EXIT-CODES-01}");
    product.Register("Exit Codes", "");
    product.WriteLog("FILE=C:\\nothing-to-remove.txt\r\n");
    const std::string logs = TestFiles::FreshTempFolder("exit-codes");
    const struct {
        std::string arguments;
        int answer;  // the button pressed on the box the run shows; 0: it shows none
        DWORD code;
    } kRuns[] = {
        {"", IDOK, ERROR_INVALID_COMMAND_LINE},
        {"/S {EXIT-CODES-NONE}", 0, ERROR_UNKNOWN_PRODUCT},
        {"/s {EXIT-CODES-01}", IDOK, ERROR_INVALID_COMMAND_LINE},
        {"/i {EXIT-CODES-01}", IDOK, ERROR_INVALID_COMMAND_LINE},
        {"-R {EXIT-CODES-01}", IDOK, ERROR_INVALID_COMMAND_LINE},
        {"/R/S " + std::string(5000, 'C'), 0, ERROR_UNKNOWN_PRODUCT},
        {"/I/R {EXIT-CODES-NONE}", IDOK, ERROR_UNKNOWN_PRODUCT},
        {"/R {EXIT-CODES-01}", IDNO, ERROR_INSTALL_USEREXIT},
        {"/S {EXIT-CODES-01}", 0, ERROR_SUCCESS},  // last: the product is gone afterwards
    };
    int row = 0;
    for (const auto& run : kRuns) {
        const std::string log = logs + "\\run" + std::to_string(++row) + ".log";
        ChildProcess norvexec(NorvexecPath(), run.arguments + " /LOG=\"" + log + "\"");
        if (run.answer != 0) {
            DialogWindow box = DialogWindow::WaitFor(norvexec);
            ASSERT_TRUE(box) << run.arguments;
            if (run.answer == IDOK) {
                EXPECT_EQ(box.Text(), run.code == ERROR_INVALID_COMMAND_LINE ? kUsage : kNotFound) << run.arguments;
                if (run.code == ERROR_UNKNOWN_PRODUCT) {
                    EXPECT_EQ(box.Caption(), "Norvane") << run.arguments;
                }
                EXPECT_TRUE(box.HasItem(IDOK) && !box.HasItem(IDCANCEL)) << run.arguments;
            } else {
                // Without a language file the built-in question names the product.
                EXPECT_EQ(box.Text(), "This will remove Exit Codes from your system, do you want to continue?");
                EXPECT_EQ(box.Caption(), "");
            }
            box.Press(run.answer);
        }
        EXPECT_EQ(norvexec.Wait(30000), std::optional<DWORD>(run.code)) << run.arguments;
        EXPECT_EQ(TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, product.UninstallKey()), run.code != ERROR_SUCCESS);
        EXPECT_NE(readme.find("\n  " + std::to_string(run.code) + " "), std::string::npos) << run.code;
        // Without a switch there is no run and no log.
        if (run.code != ERROR_INVALID_COMMAND_LINE) {
            EXPECT_TRUE(TestFiles::Read(log).ends_with("\nexit code " + std::to_string(run.code) + "\r\n")) << run.arguments;
        }
    }
    // What the silent runs did not show is in their logs.
    EXPECT_NE(TestFiles::Read(logs + "\\run2.log").find("message not shown: [Norvane] " + std::string(kNotFound)),
              std::string::npos);
}
