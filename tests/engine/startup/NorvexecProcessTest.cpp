#include <gtest/gtest.h>

#include "support/ChildProcess.h"
#include "support/DialogWindow.h"
#include "support/TestProduct.h"

namespace {
const char kUsage[] =
    "Norvane Uninstaller\r\n\r\nUsage:\r\nnorvexec.exe /R {productcode} to uninstall.\r\n"
    "norvexec.exe /I {productcode} to modify.\r\n\r\nnorvexec.exe /S {productcode} to silent uninstall.";
const char kNotFound[] = "Uninstallation information not found. Norvane can't uninstall this software";

// Runs norvexec, expects one message box, answers it with OK and expects the end.
std::string AnswerOneMessageBox(const std::string& arguments, std::string* caption = nullptr) {
    ChildProcess norvexec(NorvexecPath(), arguments);
    EXPECT_TRUE(norvexec.Started());
    DialogWindow box = DialogWindow::WaitFor(norvexec);
    if (!box) {
        ADD_FAILURE() << "no message box for: " << arguments;
        return {};
    }
    std::string text = box.Text();
    if (caption != nullptr) *caption = box.Caption();
    EXPECT_TRUE(box.HasItem(IDOK));
    EXPECT_FALSE(box.HasItem(IDCANCEL));
    box.Press(IDOK);
    EXPECT_EQ(norvexec.Wait(10000), std::optional<DWORD>(0u));
    return text;
}
}  // namespace

TEST(NorvexecProcess, WithoutSwitchShowsTheUsageText) {
    EXPECT_EQ(AnswerOneMessageBox(""), kUsage);
    EXPECT_EQ(AnswerOneMessageBox("/r {LOWER}"), kUsage);
    EXPECT_EQ(AnswerOneMessageBox("R/ {X}"), kUsage);
}

TEST(NorvexecProcess, WithoutUninstallLogShowsNotFoundEvenWhenSilent) {
    TestProduct product("{NO-LOG-0001}");
    product.Register("No Log", "C:\\nolog");
    for (const char* arguments : {"/S {NO-LOG-0001}", "/I/R {NO-LOG-0001}", "/R/S {NO-LOG-0001}", "/S"}) {
        std::string caption;
        EXPECT_EQ(AnswerOneMessageBox(arguments, &caption), kNotFound) << arguments;
        EXPECT_EQ(caption, "Norvane");
    }
}

TEST(NorvexecProcess, OverlongArgumentsNeitherCrashNorHang) {
    std::string code(5000, 'C');
    EXPECT_EQ(AnswerOneMessageBox("/S " + code), kNotFound);
    EXPECT_EQ(AnswerOneMessageBox(std::string(5000, 'x')), kUsage);
}
