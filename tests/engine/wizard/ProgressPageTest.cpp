// norvexec as a process on a product whose theme holds the progress page: the
// page found by its title, its controls read through the window API while and
// after the removal runs, closed as a user closes it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "support/ChildProcess.h"
#include "support/DialogWindow.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "support/ThemePage.h"

namespace {
const char kTitle[] = "Fixture Notes - Uninstall";
constexpr DWORD kStillActive = 259;

const char kLanguage[] =
    "[SetupProgress]\r\n10=<ProductName> is gone.\r\n14=Remove <ProductName>?\r\n15=Fixture\r\n"
    "[SetupCompleteSuccess]\r\n1=Close [ProductName]\r\n5=[ProductName] ([ProductCode]) was removed.\r\n";

const char kTheme[] =
    "[MAINWINDOW]\r\ncaption=[ProductName] - Uninstall\r\nborder=1\r\nstartup=2\r\nwidth=420\r\nheight=300\r\n"
    "closewindow=Yes\r\nfontname=Tahoma\r\nfontsize=8\r\nfontbold=No\r\nfontitalic=No\r\n"
    "[INFO]\r\nTOTAL=6\r\n"
    "0=Info,10,10,380,20,TEXT,,,10\r\n1=Bar,10,40,380,18,PROGRESS,,,11\r\n2=Status,10,70,380,40,TEXT,,,12\r\n"
    "3=Back,120,200,80,25,BUTTON,,,13\r\n4=Next,210,200,80,25,BUTTON,,,14\r\n5=Cancel,300,200,100,25,BUTTON,,,15\r\n"
    "[DADOS]\r\n10,t=2\r\n10,0=ID|IDC_INFO|0\r\n10,1=Caption|waiting|1\r\n"
    "12,t=2\r\n12,0=ID|IDC_STATIC1|0\r\n12,1=Caption||1\r\n"
    "13,t=2\r\n13,0=ID|IDC_BACK|0\r\n13,1=Caption|< Back|1\r\n"
    "14,t=2\r\n14,0=ID|IDC_NEXT|0\r\n14,1=Caption|Next >|1\r\n"
    "15,t=2\r\n15,0=ID|IDCANCEL|0\r\n15,1=Caption|Cancel|1\r\n";

// A product with a handful of files and a theme folder.
class ThemedProduct {
public:
    explicit ThemedProduct(const std::string& code, const std::string& theme = kTheme)
        : product(code), install(TestFiles::FreshTempFolder("themed-" + code.substr(1, 8))) {
        product.Register("Fixture Notes", install);
        std::string log = "TOTALFILE=" + std::to_string(kFiles) + "\r\n";
        for (int i = 0; i < kFiles; ++i) {
            std::string file = install + "\\f" + std::to_string(i) + ".txt";
            TestFiles::Write(file, "x");
            log += "FILE=" + file + "\r\n";
        }
        product.WriteLog(log);
        product.WriteLanguage(kLanguage);
        TestFiles::MakeDirectories(product.Folder() + "\\theme");
        TestFiles::Write(product.Folder() + "\\theme\\uninstall.lcd", theme);
    }
    ~ThemedProduct() { TestFiles::RemoveTree(install); }
    bool FilesRemoved() const { return !TestFiles::Exists(install + "\\f0.txt") && !TestFiles::Exists(install + "\\f6.txt"); }

    static constexpr int kFiles = 7;
    TestProduct product;
    std::string install;
};

// The page by its title, once it is shown.
HWND WaitForPage(const ChildProcess& process, DWORD timeoutMs = 20000) {
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs; ::Sleep(20)) {
        HWND page = FindProcessWindow(process.Id(), "#32770", kTitle);
        if (page != nullptr && ::IsWindowVisible(page)) return page;
        if (!process.Running()) break;
    }
    return nullptr;
}

// Waits until the button carries the caption and can be pressed.
bool WaitForButton(HWND button, const std::string& caption, DWORD timeoutMs = 30000) {
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs; ::Sleep(20))
        if (WindowTextOf(button) == caption && ::IsWindowEnabled(button)) return true;
    return false;
}

// What the completed page shows, read from another process.
void ExpectCompletedPage(HWND page, const ThemedProduct& fixture) {
    // Window identifiers run from the highest key down: Cancel is 3000, Info 3005.
    HWND cancel = ::GetDlgItem(page, 3000);
    ASSERT_TRUE(WaitForButton(cancel, "Close Fixture Notes"));
    HWND next = ::GetDlgItem(page, 3001);
    HWND back = ::GetDlgItem(page, 3002);
    HWND status = ::GetDlgItem(page, 3003);
    HWND bar = ::GetDlgItem(page, 3004);
    HWND info = ::GetDlgItem(page, 3005);
    EXPECT_EQ(ClassOf(cancel), "Button");
    EXPECT_EQ(ClassOf(bar), "msctls_progress32");
    EXPECT_EQ(ClassOf(info), "Static");
    EXPECT_EQ(WindowTextOf(next), "Next >");
    EXPECT_FALSE(::IsWindowEnabled(next));
    EXPECT_FALSE(::IsWindowEnabled(back));
    EXPECT_TRUE(::GetWindowLongPtrA(next, GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_EQ(WindowTextOf(info), "Fixture Notes is gone.");
    EXPECT_EQ(WindowTextOf(status), "Fixture Notes (" + fixture.product.Code() + ") was removed.");
    EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, FALSE, 0), ThemedProduct::kFiles);
    EXPECT_EQ(::SendMessageA(bar, PBM_GETPOS, 0, 0), ThemedProduct::kFiles);
    RECT rect = ClientRectOf(page, bar);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right, 390);
    EXPECT_EQ(rect.bottom, 58);
    RECT outer;
    ::GetWindowRect(page, &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.bottom - outer.top, 300 - 7);
    EXPECT_TRUE(fixture.FilesRemoved());
}
}  // namespace

TEST(ProgressPage, ModifyShowsTheThemedPageAndItsCloseButtonEndsTheProgramWith259) {
    ThemedProduct fixture("{PAGE-MODIFY-01}");
    ChildProcess norvexec(NorvexecPath(), "/I " + fixture.product.Code());
    HWND page = WaitForPage(norvexec);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ClassOf(page), "#32770");
    EXPECT_TRUE(::GetWindowLongPtrA(page, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    ExpectCompletedPage(page, fixture);
    ::PostMessageA(::GetDlgItem(page, 3000), BM_CLICK, 0, 0);
    EXPECT_EQ(norvexec.Wait(10000), std::optional<DWORD>(kStillActive));
}

TEST(ProgressPage, UninstallAsksFirstThenTheClosedPageEndsTheProgramWith259) {
    ThemedProduct fixture("{PAGE-REMOVE-01}");
    ChildProcess norvexec(NorvexecPath(), "/R " + fixture.product.Code());
    DialogWindow question = DialogWindow::WaitFor(norvexec);
    ASSERT_TRUE(question);
    EXPECT_EQ(question.Text(), "Remove Fixture Notes?");
    EXPECT_EQ(WaitForPage(norvexec, 300), nullptr);  // no page before the answer
    question.Press(IDYES);
    HWND page = WaitForPage(norvexec);
    ASSERT_NE(page, nullptr);
    ExpectCompletedPage(page, fixture);
    // Enter on the page presses nothing, not even the default button.
    ::PostMessageA(::GetDlgItem(page, 3000), WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageA(page, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(norvexec.Wait(300), std::nullopt);
    ::PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(norvexec.Wait(10000), std::optional<DWORD>(kStillActive));
}

TEST(ProgressPage, SilentShowsThePageWhileRemovingAndQuitsByItself) {
    ThemedProduct fixture("{PAGE-SILENT-01}");
    ChildProcess norvexec(NorvexecPath(), "/S " + fixture.product.Code());
    HWND page = WaitForPage(norvexec);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(norvexec.Wait(30000), std::optional<DWORD>(0u));
    EXPECT_TRUE(fixture.FilesRemoved());
}

TEST(ProgressPage, BadThemesLoadAndTheRemovalStillRuns) {
    std::string garbage;
    for (unsigned i = 0, seed = 11; i < 20000; ++i) {
        seed = seed * 1103515245 + 12345;
        garbage += static_cast<char>(seed >> 16);
    }
    std::string crowded = "[MAINWINDOW]\r\ncaption=[ProductName] - Uninstall\r\nwidth=99999999999\r\nheight=-5000\r\n"
                          "startup=5\r\nbkimage=C:\\windows\r\nbkcolor=" + std::string(2000, '9') +
                          "\r\nfontname=" + std::string(2000, 'F') + "\r\n[INFO]\r\nTOTAL=2147483647\r\n";
    for (int k = 0; k < 200; ++k) {
        const char* types[] = {"BUTTON", "text", "BITMAP", "HOVER", "PROGRESS", "ICON", "RADIO", "TEXTBOX"};
        std::string line = std::to_string(k) + "=n," + (k % 3 ? "-2147483648" : "2147483647") + "," +
                           std::to_string(-k * 1000000) + ",99999999999,-77," + types[k % 8] + ",{nothing" +
                           std::to_string(k) + "}.bmp,," + std::to_string(k % 5);
        for (int f = 9; f < 25; ++f) line += ",extra";
        crowded += line + "\r\n";
    }
    crowded += "[DADOS]\r\n";
    for (int key = 0; key < 5; ++key) {
        crowded += std::to_string(key) + ",t=40\r\n";
        for (int r = 0; r < 40; ++r)
            crowded += std::to_string(key) + "," + std::to_string(r) + "=" + std::string(r % 2 ? 2000 : 3, 'v') + "|" +
                       std::string(2000, '|') + "\r\n";
    }
    for (const std::string& theme : {std::string(), garbage, crowded}) {
        ThemedProduct fixture("{PAGE-BAD-01}", theme);
        ChildProcess norvexec(NorvexecPath(), "/S " + fixture.product.Code());
        EXPECT_EQ(norvexec.Wait(60000), std::optional<DWORD>(0u)) << theme.size();
        EXPECT_TRUE(fixture.FilesRemoved()) << theme.size();
    }
}
