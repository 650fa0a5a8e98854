// norvexec as a process on a product whose theme holds the progress page: the
// page found by its title, its controls read through the window API while and
// after the removal runs, closed as a user closes it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "BrowseDialogDriver.h"
#include "TestPaths.h"
#include "support/ChildProcess.h"
#include "support/DialogWindow.h"
#include "support/RemovalLogText.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "support/TestRegistry.h"
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

// A product with a handful of files and a theme folder; the log may go on after the files.
class ThemedProduct {
public:
    explicit ThemedProduct(const std::string& code, const std::string& theme = kTheme, const std::string& logTail = {})
        : product(code), install(TestFiles::FreshProductFolder("themed-" + code.substr(1, 8))) {
        product.Register("Fixture Notes", install);
        std::string log = "TOTALFILE=" + std::to_string(kFiles) + "\r\n";
        for (int i = 0; i < kFiles; ++i) {
            std::string file = install + "\\f" + std::to_string(i) + ".txt";
            TestFiles::Write(file, "x");
            log += "FILE=" + file + "\r\n";
        }
        product.WriteLog(log + logTail);
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

HWND WaitForPage(const ChildProcess& process) { return WaitForShownPage(process, kTitle); }

// Waits until the control carries the text and can be used. Asked by message:
// from another process the window API reads an edit box's caption, not its text.
bool WaitForUsable(HWND control, const std::string& text) {
    const DialogWindow page(::GetParent(control));
    return WaitFor([&] { return page.ItemText(::GetDlgCtrlID(control)) == text && ::IsWindowEnabled(control); }, 30000);
}

// What the completed page shows, read from another process: the run's texts and
// counts (the page's own layout is read in the page's tests).
void ExpectCompletedPage(HWND page, const ThemedProduct& fixture) {
    // Window identifiers run from the highest key down: Cancel is 3000, Info 3005.
    ASSERT_TRUE(WaitForUsable(::GetDlgItem(page, 3000), "Close Fixture Notes"));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, 3001)));  // Next
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, 3002)));  // Back
    EXPECT_EQ(WindowTextOf(::GetDlgItem(page, 3005)), "Fixture Notes is gone.");
    EXPECT_EQ(WindowTextOf(::GetDlgItem(page, 3003)), "Fixture Notes (" + fixture.product.Code() + ") was removed.");
    HWND bar = ::GetDlgItem(page, 3004);
    EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, FALSE, 0), ThemedProduct::kFiles);
    EXPECT_EQ(::SendMessageA(bar, PBM_GETPOS, 0, 0), ThemedProduct::kFiles);
    EXPECT_TRUE(fixture.FilesRemoved());
}
}  // namespace

// Modify shows the page at once, uninstall after its question; the completed
// page closed by its button or its close box ends the program with 259.
TEST(ProgressPage, ModifyAndUninstallShowTheThemedPageAndItsClosingEndsTheProgramWith259) {
    for (const bool uninstall : {false, true}) {
        ThemedProduct fixture(uninstall ? "{PAGE-REMOVE-01}" : "{PAGE-MODIFY-01}");
        ChildProcess norvexec(NorvexecPath(), (uninstall ? "/R " : "/I ") + fixture.product.Code());
        if (uninstall) {
            DialogWindow question = DialogWindow::WaitFor(norvexec);
            ASSERT_TRUE(question);
            EXPECT_EQ(question.Text(), "Remove Fixture Notes?");
            EXPECT_EQ(FindProcessWindow(norvexec.Id(), "#32770", kTitle), nullptr);  // no page before the answer
            question.Press(IDYES);
        }
        HWND page = WaitForPage(norvexec);
        ASSERT_NE(page, nullptr) << uninstall;
        ExpectCompletedPage(page, fixture);
        if (uninstall) {
            // Enter on the page presses nothing, not even the default button.
            ::PostMessageA(::GetDlgItem(page, 3000), WM_KEYDOWN, VK_RETURN, 0);
            ::PostMessageA(page, WM_KEYDOWN, VK_RETURN, 0);
            EXPECT_EQ(norvexec.Wait(300), std::nullopt);
            ::PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            ::PostMessageA(::GetDlgItem(page, 3000), BM_CLICK, 0, 0);
        }
        EXPECT_EQ(norvexec.Wait(10000), std::optional<DWORD>(kStillActive)) << uninstall;
    }
}

// A silent run shows its page while removing and quits by itself, whatever the theme.
TEST(ProgressPage, SilentShowsThePageAndRunsToItsEndWithBadThemesToo) {
    std::string garbage;
    for (unsigned i = 0, seed = 11; i < 20000; ++i) garbage += static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    // Every number out of range, 200 lines of every kind with extra fields, rows past every limit.
    std::string crowded = "[MAINWINDOW]\r\ncaption=[ProductName] - Uninstall\r\nwidth=99999999999\r\nheight=-5000\r\n"
                          "startup=5\r\nbkimage=C:\\windows\r\nbkcolor=" + std::string(2000, '9') + "\r\nfontname=" +
                          std::string(2000, 'F') + "\r\n[INFO]\r\nTOTAL=2147483647\r\n";
    const char* types[] = {"BUTTON", "text", "BITMAP", "HOVER", "PROGRESS", "ICON", "RADIO", "TEXTBOX"};
    std::string extra;
    for (int f = 9; f < 25; ++f) extra += ",extra";
    for (int k = 0; k < 200; ++k)
        crowded += std::to_string(k) + "=n," + (k % 3 ? "-2147483648" : "2147483647") + "," + std::to_string(-k * 1000000) +
                   ",99999999999,-77," + types[k % 8] + ",{nothing" + std::to_string(k) + "}.bmp,," + std::to_string(k % 5) +
                   extra + "\r\n";
    crowded += "[DADOS]\r\n";
    for (int key = 0; key < 5; ++key) {
        crowded += std::to_string(key) + ",t=40\r\n";
        for (int r = 0; r < 40; ++r)
            crowded += std::to_string(key) + "," + std::to_string(r) + "=" + std::string(r % 2 ? 2000 : 3, 'v') + "|" +
                       std::string(2000, '|') + "\r\n";
    }
    for (const std::string& theme : {std::string(kTheme), std::string(), garbage, crowded}) {
        ThemedProduct fixture("{PAGE-SILENT-01}", theme);
        ChildProcess norvexec(NorvexecPath(), "/S " + fixture.product.Code());
        if (theme == kTheme) { EXPECT_NE(WaitForPage(norvexec), nullptr); }
        EXPECT_EQ(norvexec.Wait(60000), std::optional<DWORD>(0u)) << theme.size();
        EXPECT_TRUE(fixture.FilesRemoved()) << theme.size();
    }
}

namespace {
// The progress page with every control a click can reach. Window identifiers
// run from the highest key down: key k is 3000 + 15 - k.
enum ClickKey {
    kInfo, kBar, kStatus, kBack, kNext, kCancel, kFinish, kAccept, kNotAccept, kAnyone, kOnlyMe, kBrowse, kInstallDir,
    kYes, kForward, kBackward, kClickKeys
};
const char* const kClickControls[kClickKeys][3] = {
    {"TEXT", "IDC_INFO"},          {"PROGRESS", ""},         {"TEXT", "IDC_STATIC1"},   {"BUTTON", "IDC_BACK"},
    {"BUTTON", "IDC_NEXT"},        {"BUTTON", "IDCANCEL"},   {"BUTTON", "IDC_FINISH"},  {"RADIO", "IDC_ACCEPTLICENSE"},
    {"RADIO", "IDC_NOTACCEPTLICENSE"}, {"RADIO", "IDC_ANYONE"}, {"RADIO", "IDC_ONLYFORME"}, {"BUTTON", "IDC_BROWSE"},
    {"TEXTBOX", "IDC_INSTALLDIR"}, {"BUTTON", "IDYES"}, {"BUTTON", "IDC_FORWARD", "1-next"}, {"BUTTON", "IDC_BACKWARD", "2-back"}};

std::string ClickTheme() {
    std::vector<std::string> lines;
    std::string rows;
    for (int key = 0; key < kClickKeys; ++key) {
        const auto& [type, name, action] = kClickControls[key];
        lines.push_back("c," + std::to_string(10 + key % 2 * 200) + "," + std::to_string(10 + key / 2 * 30) + ",190,24," +
                        type + ",,," + std::to_string(key));
        std::vector<std::string> keyRows = {std::string("ID|") + name + "|0"};
        if (action != nullptr) keyRows.push_back(std::string("On Click|") + action + "|1");
        if (*name != '\0') rows += ThemeRows(key, keyRows);
    }
    return ThemeWithControls("caption=[ProductName] - Uninstall\r\nborder=1\r\nstartup=2\r\nwidth=420\r\nheight=300\r\n",
                             lines, rows);
}

HWND Control(HWND page, int key) { return ::GetDlgItem(page, 3000 + kClickKeys - 1 - key); }
void Click(HWND page, int key) { ::PostMessageA(Control(page, key), BM_CLICK, 0, 0); }
LRESULT Checked(HWND page, int key) { return ::SendMessageA(Control(page, key), BM_GETCHECK, 0, 0); }

// The page handles posted clicks in order: once this scope button shows its
// mark, every click posted before it has been handled.
bool Settle(HWND page, int scopeKey) {
    Click(page, scopeKey);
    return WaitFor([&] { return Checked(page, scopeKey) == BST_CHECKED; });
}

bool WaitForFile(const std::string& path) {
    return WaitFor([&] { return TestFiles::Exists(path); }, 30000);
}

int VisiblePages(DWORD processId) {
    int pages = 0;
    for (HWND hwnd = nullptr; (hwnd = ::FindWindowExA(nullptr, hwnd, "#32770", nullptr)) != nullptr;) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(hwnd, &process);
        pages += process == processId && ::IsWindowVisible(hwnd);
    }
    return pages;
}
}  // namespace

TEST(PageClicks, PairsNavigationAndBrowseActOnTheProgressPageWhileTheRemovalRuns) {
    // The removal stops at its companion step until the test lets it go on.
    ThemedProduct fixture("{PAGE-CLICKS-01}", ClickTheme(), "RUN3RD=holder.dll\r\nRUN3RDCMD=HoldRemoval\r\nREMOVEALL=1\r\n");
    const std::string folder = fixture.product.Folder();
    ASSERT_TRUE(::CopyFileA(NORVANE_TEST_BIN_DIR "\\companion.dll", (folder + "\\holder.dll").c_str(), FALSE));
    const std::string chosen = TestFiles::FreshTempFolder("page-clicks-chosen");
    TestFiles::Write(chosen + "\\keep.txt", "not the product's");
    ChildProcess norvexec(NorvexecPath(), "/I " + fixture.product.Code());
    HWND page = WaitForPage(norvexec);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(WaitForFile(folder + "\\companion-held"));

    for (int key : {kAccept, kNotAccept, kAnyone, kOnlyMe}) EXPECT_EQ(Checked(page, key), BST_UNCHECKED) << key;
    for (int key : {kBack, kNext, kCancel}) EXPECT_FALSE(::IsWindowEnabled(Control(page, key))) << key;

    // A storm on the licence pair ends as its last click says.
    for (int i = 0; i < 400; ++i) Click(page, i % 2 == 0 ? kAccept : kNotAccept);
    ASSERT_TRUE(Settle(page, kAnyone));
    EXPECT_EQ(Checked(page, kNotAccept), BST_CHECKED);
    EXPECT_EQ(Checked(page, kAccept), BST_UNCHECKED);
    EXPECT_FALSE(::IsWindowEnabled(Control(page, kNext)));
    EXPECT_EQ(Checked(page, kOnlyMe), BST_UNCHECKED);
    Click(page, kAccept);
    ASSERT_TRUE(Settle(page, kOnlyMe));
    EXPECT_EQ(Checked(page, kNotAccept), BST_UNCHECKED);
    EXPECT_EQ(Checked(page, kAccept), BST_CHECKED);
    EXPECT_TRUE(::IsWindowEnabled(Control(page, kNext)));
    EXPECT_EQ(Checked(page, kAnyone), BST_UNCHECKED);

    // The uninstall has no page to move to: Next, Yes and both click actions keep the page.
    for (int key : {kNext, kYes, kForward, kBackward}) Click(page, key);
    ASSERT_TRUE(Settle(page, kAnyone));
    EXPECT_TRUE(::IsWindowVisible(page));
    EXPECT_EQ(VisiblePages(norvexec.Id()), 1);
    EXPECT_TRUE(norvexec.Running());

    // Browse: the real chooser above the page, answered with a typed folder.
    Click(page, kBrowse);
    BrowseDialogDriver chooser = BrowseDialogDriver::WaitFor(kDriverWaitMs, norvexec.Id());
    ASSERT_TRUE(chooser);
    EXPECT_EQ(chooser.Caption(), "Brellix Norvane");
    EXPECT_EQ(chooser.ItemText(14146), "Choose destination directory...");  // the instruction item
    EXPECT_EQ(::GetWindow(chooser.Handle(), GW_OWNER), page);
    EXPECT_FALSE(::IsWindowEnabled(page));
    EXPECT_EQ(chooser.Typed(), "");
    chooser.Type(chosen);
    chooser.ClickOk();
    EXPECT_TRUE(chooser.WaitClosed(kDriverWaitMs));
    chooser.Abandon();
    EXPECT_TRUE(WaitForUsable(Control(page, kInstallDir), chosen));
    EXPECT_TRUE(::IsWindowEnabled(page));

    // The run ends; the folder it takes away is the registered one, not the one chosen.
    ASSERT_TRUE(TestFiles::Write(folder + "\\companion-release", ""));
    ASSERT_TRUE(WaitForUsable(Control(page, kCancel), "Close Fixture Notes"));
    EXPECT_FALSE(TestFiles::Exists(fixture.install));
    EXPECT_TRUE(TestFiles::Exists(chosen + "\\keep.txt"));
    Click(page, kFinish);
    EXPECT_EQ(norvexec.Wait(10000), std::optional<DWORD>(0u));
    TestFiles::RemoveTree(chosen);
}

namespace {
LRESULT Answer(HWND window, UINT message) {
    DWORD_PTR result = 0xBAD;
    ::SendMessageTimeoutA(window, message, 0, 0, SMTO_ABORTIFHUNG, 10000, &result);
    return static_cast<LRESULT>(result);
}
}  // namespace

// The end of the session waits while the removal runs: every window of the
// engine holds it back (the reason it gives is the frame's test: Wine has no
// query for it); when it comes anyway the run stops after its current step,
// says so and ends with 1603, what is left and the registration kept. Before
// the run the platform answers.
TEST(ProgressPage, TheEndOfTheSessionWaitsForTheRemovalAndStopsItWhenItComes) {
    const std::string later = TestFiles::FreshTempFolder("session-end-later");
    std::string tail = "RUN3RD=holder.dll\r\nRUN3RDCMD=HoldRemoval\r\n";
    for (int i = 0; i < 300; ++i) {
        TestFiles::Write(later + "\\l" + std::to_string(i), "x");
        tail += "FILE=" + later + "\\l" + std::to_string(i) + "\r\n";
    }
    ThemedProduct fixture("{PAGE-SESSION-01}", kTheme, tail + "DIR=" + later + "\r\nREMOVEALL=1\r\n");
    const std::string folder = fixture.product.Folder();
    ASSERT_TRUE(::CopyFileA(NORVANE_TEST_BIN_DIR "\\companion.dll", (folder + "\\holder.dll").c_str(), FALSE));
    const std::string temp = TestFiles::FreshTempFolder("session-end");
    ChildProcess norvexec(NorvexecPath(), "/R " + fixture.product.Code() + " /LOG=\"" + temp + "\\removal.log\"");

    DialogWindow question = DialogWindow::WaitFor(norvexec);
    ASSERT_TRUE(question);
    HWND frame = FindProcessWindow(norvexec.Id(), "NorvaneFrame");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(Answer(frame, WM_QUERYENDSESSION), TRUE);
    question.Press(IDYES);
    HWND page = WaitForPage(norvexec);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(WaitForFile(folder + "\\companion-held"));
    EXPECT_EQ(Answer(frame, WM_QUERYENDSESSION), FALSE);
    EXPECT_EQ(Answer(page, WM_QUERYENDSESSION), FALSE);

    // As the system tells each window in turn: the second hears of an end already at work.
    ::SendNotifyMessageA(page, WM_ENDSESSION, TRUE, 0);
    ::SendNotifyMessageA(frame, WM_ENDSESSION, TRUE, 0);
    ASSERT_TRUE(TestFiles::Write(folder + "\\companion-release", ""));
    EXPECT_EQ(norvexec.Wait(30000), std::optional<DWORD>(1603u));
    const std::vector<std::string> lines = RemovalLogLines(TestFiles::Read(temp + "\\removal.log"));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"RUN3RDCMD HoldRemoval: library " + folder + "\\holder.dll called",
                                        "interrupted by the end of the session, nothing more removed",
                                        "exit code 1603"}));
    EXPECT_TRUE(fixture.FilesRemoved());
    EXPECT_TRUE(TestFiles::Exists(later + "\\l0"));
    EXPECT_TRUE(TestFiles::Exists(later + "\\l299"));
    EXPECT_TRUE(TestFiles::Exists(fixture.install));
    EXPECT_TRUE(TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, fixture.product.UninstallKey()));
    TestFiles::RemoveTree(later);
}
