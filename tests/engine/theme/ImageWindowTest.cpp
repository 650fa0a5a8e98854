// The page window in the test's process: its settings, placement, font,
// background and keys, read back through the window API.
#include <gtest/gtest.h>

#include "controls/NewLabel.h"
#include "framework/Wnd.h"
#include "product/ProductContext.h"
#include "support/TestFiles.h"
#include "support/ThemePage.h"

namespace {
RECT PlacedWith(ThemePage& theme, const std::string& startup, int width, int height) {
    theme.WriteTheme("[MAINWINDOW]\r\nstartup=" + startup + "\r\nwidth=" + std::to_string(width) +
                     "\r\nheight=" + std::to_string(height) + "\r\n");
    RECT rect{};
    if (theme.Load()) ::GetWindowRect(theme.Window(), &rect);
    return rect;
}
}  // namespace

TEST(PageWindow, AMissingThemeGivesAnEmptyPageWithTheDefaultsAndALoadReplacesEveryControl) {
    ThemePage theme("page-missing");
    ASSERT_TRUE(theme.Load("absent.lcd"));
    CImageWindow& page = theme.Page();
    EXPECT_EQ(ClassOf(theme.Window()), "#32770");
    EXPECT_EQ(WindowTextOf(theme.Window()), "");
    EXPECT_EQ(::GetParent(theme.Window()), nullptr);
    const LONG_PTR style = StyleOf(theme.Window());
    EXPECT_EQ(style & (WS_BORDER | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU | WS_POPUP), WS_POPUP);
    EXPECT_TRUE(::GetWindowLongPtrA(theme.Window(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(page.BackgroundColorText(), "COLOR_BTNFACE");
    EXPECT_EQ(BrushColor(page.BackgroundBrush()), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(page.PictureFlag(), 0);
    EXPECT_EQ(page.Table().Count(), 0);
    EXPECT_EQ(theme.host.PageFontBold(), kFlagSet);  // absent switches mean bold and italic
    EXPECT_EQ(theme.host.PageFontItalic(), kFlagSet);
    EXPECT_EQ(theme.host.CurrentPage(), &page);
    // The same window loaded twice with a theme: the controls of the first load are gone.
    theme.WriteTheme(ThemeWithControls("", {"a,0,0,80,25,BUTTON,,,1", "b,0,30,80,25,TEXT,,,2"}));
    page.LoadPage(theme.Folder(), "page.lcd", 0, 2);
    ASSERT_NE(theme.Control(3000), nullptr);
    page.LoadPage(theme.Folder(), "page.lcd", 0, 2);
    int children = 0;
    for (HWND child = ::GetWindow(theme.Window(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ++children;
    EXPECT_EQ(children, 2);
    EXPECT_EQ(page.Table().Count(), 2);
}

TEST(PageWindow, TakesCaptionBorderButtonsColourAndFontFromTheTheme) {
    ThemePage theme("page-settings");
    TheProduct().displayName = "Fixture Notes";
    TheProduct().productCode = "{CODE}";
    theme.WriteTheme(
        "[MAINWINDOW]\r\ncaption=[ProductName] Setup <ProductCode>\r\nborder=1x\r\nbkcolor=10,20,30\r\n"
        "minwindow=Yes\r\nmaxwindow=yes\r\nclosewindow=Yes\r\nfontname=Tahoma\r\nfontsize=8\r\nfontbold=No\r\n"
        "fontitalic=no\r\nsoundfile={a}.wav\r\nidcname=IDD_X\r\n");
    ASSERT_TRUE(theme.Load());
    CImageWindow& page = theme.Page();
    EXPECT_EQ(WindowTextOf(theme.Window()), "Fixture Notes Setup {CODE}");
    LONG_PTR style = StyleOf(theme.Window());
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);  // only the exact word "Yes"
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(page.BackgroundColorText(), "10,20,30");
    EXPECT_EQ(BrushColor(page.BackgroundBrush()), RGB(10, 20, 30));
    // The dialog-background request is answered with that brush.
    ScreenDC dc;
    EXPECT_EQ(reinterpret_cast<HBRUSH>(::SendMessageA(theme.Window(), WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(
                                                          static_cast<HDC>(dc)), reinterpret_cast<LPARAM>(theme.Window()))),
              page.BackgroundBrush());
    EXPECT_EQ(page.Settings().soundFile, "a.wav");
    EXPECT_EQ(page.Settings().idcName, "IDD_X");
    const LOGFONTA font = FontOf(page.PageFontHandle());
    EXPECT_EQ(font.lfHeight, -11);  // 8 points at 96 dpi
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_TRUE(font.lfItalic);  // "no" is not "No"
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
}

TEST(PageWindow, IsPlacedByStartupWithTheCaptionCorrection) {
    ThemePage theme("page-placement");
    // Wine's caption is 18 pixels high: 400 - (25 - 18). Any other startup keeps the template's place.
    const struct {
        const char* startup;
        int width, height;
        RECT placed;
    } cases[] = {{"0", 501, 400, {262, 384 - 393 / 2, 262 + 501, 384 - 393 / 2 + 393}},
                 {"", 501, 400, {262, 384 - 393 / 2, 262 + 501, 384 - 393 / 2 + 393}},  // empty: centred
                 {"2", 300, 200, {0, 0, 300, 193}},
                 {"3", 300, 200, {1024 - 300, 0, 1024, 193}},
                 {"4", 300, 400, {0, 768 - 393 - 35, 300, 768 - 35}},
                 {"5x", 300, 400, {1024 - 300, 768 - 393 - 35, 1024, 768 - 35}}};
    for (const auto& c : cases) {
        const RECT rect = PlacedWith(theme, c.startup, c.width, c.height);
        EXPECT_TRUE(::EqualRect(&rect, &c.placed)) << c.startup << ": " << rect.left << "," << rect.top;
    }
    const RECT unplaced = PlacedWith(theme, "1", 300, 400), other = PlacedWith(theme, "17", 300, 400);
    EXPECT_NE(unplaced.right - unplaced.left, 300);
    EXPECT_TRUE(::EqualRect(&unplaced, &other));
}

TEST(PageWindow, BackgroundPictureIsLoadedOnlyFromAReadablePicture) {
    ThemePage theme("page-picture");
    WriteBitmapFile(theme.Folder() + "back.bmp", 40, 30, RGB(200, 10, 10));
    TestFiles::Write(theme.Folder() + "garbage.bmp", std::string(3000, '\x5a'));
    TestFiles::Write(theme.Folder() + "empty.bmp", "");
    std::string bitmap = TestFiles::Read(theme.Folder() + "back.bmp");
    TestFiles::Write(theme.Folder() + "truncated.bmp", bitmap.substr(0, 100));
    TestFiles::MakeDirectories(theme.Folder() + "folder.bmp");
    auto load = [&theme](const std::string& image) {
        theme.WriteTheme("[MAINWINDOW]\r\nbkimage=" + image + "\r\nstartup=2\r\nwidth=200\r\nheight=150\r\n");
        EXPECT_TRUE(theme.Load());
        return theme.Page().PictureFlag();
    };
    // Braces are removed and the path is used as written.
    EXPECT_EQ(load("{" + theme.Folder() + "back.bmp}"), kFlagSet);
    EXPECT_EQ(theme.Page().PictureSize().cx, 40);
    EXPECT_EQ(theme.Page().PictureSize().cy, 30);
    theme.Page().ShowWindow(SW_SHOWNA);
    ::UpdateWindow(theme.Window());
    EXPECT_EQ(PixelOf(theme.Window(), 100, 60), RGB(200, 10, 10));  // stretched over the whole window
    // A copy for 2x that is cut short is what a monitor of 192 dpi would show: none.
    TestFiles::Write(theme.Folder() + "back@2x.bmp", bitmap.substr(0, bitmap.size() - 1));
    RECT window{};
    ::GetWindowRect(theme.Window(), &window);
    ::SendMessageA(theme.Window(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&window));
    EXPECT_EQ(theme.Page().PictureFlag(), 0);
    for (const char* bad : {"truncated.bmp", "garbage.bmp", "empty.bmp", "folder.bmp", "missing.bmp"}) {
        EXPECT_EQ(load(theme.Folder() + bad), 0) << bad;
        EXPECT_EQ(theme.Page().PictureSize().cx, 0) << bad;
    }
    EXPECT_EQ(load("back.bmp"), 0);  // not joined to the theme folder
}

TEST(PageWindow, SwallowsEnterForThePageAndItsControlsButKeepsDialogKeys) {
    ThemePage theme("page-keys");
    theme.WriteTheme(ThemeWithControls("startup=2\r\nwidth=300\r\nheight=200\r\n",
                                       {"c,10,10,80,25,BUTTON,,,1", "o,100,10,80,25,BUTTON,,,2"},
                                       "1,t=1\r\n1,0=ID|IDCANCEL|0\r\n2,t=1\r\n2,0=ID|IDC_OTHER|0\r\n"));
    ASSERT_TRUE(theme.Load("page.lcd", 0, 5));
    theme.Page().ShowWindow(SW_SHOW);
    HWND cancel = theme.Named("IDCANCEL");
    ASSERT_NE(cancel, nullptr);
    ::SendMessageA(cancel, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    ::SetFocus(cancel);
    MSG enter{cancel, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    // Without the page's own step, the dialog keys would press the focused button.
    ASSERT_TRUE(::IsDialogMessageA(theme.Window(), &enter));
    PumpLikeTheProgram();
    EXPECT_EQ(theme.Aborts(), 1);
    ::PostMessageA(cancel, WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageA(theme.Window(), WM_KEYDOWN, VK_RETURN, 0);
    PumpLikeTheProgram();
    EXPECT_EQ(theme.Aborts(), 1);
    ::PostMessageA(cancel, WM_KEYDOWN, VK_TAB, 0);
    PumpLikeTheProgram();
    EXPECT_EQ(::GetFocus(), theme.Named("IDC_OTHER"));
    // A click on a page control with its own identifier reaches the command handler.
    ::SendMessageA(cancel, BM_CLICK, 0, 0);
    EXPECT_EQ(theme.Aborts(), 2);
    ::SendMessageA(theme.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(theme.Aborts(), 3);
}

namespace {
// Creates a child of its own while it is being created.
class NestingWindow : public CWnd {
public:
    CWnd child;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CREATE)
            child.CreateEx(0, "STATIC", "inner", WS_CHILD, 0, 0, 10, 10, m_hWnd, reinterpret_cast<HMENU>(5));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};
}  // namespace

TEST(Framework, AWindowCreatingChildrenWhileCreatedBindsEachToItsObject) {
    ASSERT_TRUE(CWnd::RegisterWindowClass("NorvaneNestingTest", 0, nullptr, nullptr));
    NestingWindow outer;
    ASSERT_TRUE(outer.CreateEx(0, "NorvaneNestingTest", "outer", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    EXPECT_EQ(CWnd::FromHandle(outer.m_hWnd), &outer);
    ASSERT_NE(outer.child.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandle(outer.child.m_hWnd), &outer.child);
    // A window made afterwards outside the framework belongs to no object.
    HWND plain = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(CWnd::FromHandle(plain), nullptr);
    ::DestroyWindow(plain);
}

TEST(PageWindow, APageWithoutAUsableSizeOpensAroundItsControls) {
    ThemePage theme("page-usable");
    const std::vector<std::string> reaching = {"a,500,380,100,40,BUTTON,,,1", "b,10,10,80,25,TEXT,,,2"};
    const struct {
        const char* window;
        bool controls;
        SIZE client, outer;  // 0: not looked at
    } cases[] = {
        {"startup=2\r\n", true, {612, 432}, {}},  // the controls reach 600 x 420; a margin of 12
        {"startup=2\r\nwidth=0\r\nheight=-3\r\n", true, {612, 432}, {}},
        {"startup=2\r\nwidth=300\r\nheight=-1\r\n", true, {0, 432}, {300, 0}},
        {"startup=0\r\nwidth=-1\r\nheight=200\r\n", false, {}, {240, 193}},  // the smallest page
    };
    for (const auto& c : cases) {
        theme.WriteTheme(ThemeWithControls(c.window, c.controls ? reaching : std::vector<std::string>{}));
        ASSERT_TRUE(theme.Load());
        RECT client{}, outer{};
        ::GetClientRect(theme.Window(), &client);
        ::GetWindowRect(theme.Window(), &outer);
        if (c.client.cx != 0) { EXPECT_EQ(client.right, c.client.cx) << c.window; }
        if (c.client.cy != 0) { EXPECT_EQ(client.bottom, c.client.cy) << c.window; }
        if (c.outer.cx != 0) { EXPECT_EQ(outer.right - outer.left, c.outer.cx) << c.window; }
        if (c.outer.cy != 0) { EXPECT_EQ(outer.bottom - outer.top, c.outer.cy) << c.window; }
    }
}

TEST(PageWindow, ACompletedProgressPageWithoutAUsableCancelClosesWithEscapeAndItsCloseBox) {
    // No Cancel at all, and a Cancel created 32nd, whose clicks never arrive.
    std::vector<std::string> past = {"c,10,10,80,25,BUTTON,,,99"};
    for (const char* type : {"TEXT", "RECT", "FRAME"})
        for (int k = 0; k < 11; ++k) past.push_back(std::string("t,10,40,80,20,") + type + ",,,0");
    for (const auto& lines : {std::vector<std::string>{"i,10,10,200,20,TEXT,,,1"}, past}) {
        ThemePage theme("page-way-out");
        theme.WriteTheme(ThemeWithControls("startup=2\r\nwidth=300\r\nheight=200\r\n", lines,
                                           "99,t=1\r\n99,0=ID|IDCANCEL|0\r\n"),
                         "uninstall.lcd");
        ASSERT_TRUE(theme.Load("uninstall.lcd", 0, 0));
        theme.Page().ShowWindow(SW_SHOW);
        EXPECT_FALSE(StyleOf(theme.Window()) & WS_SYSMENU);
        ::PostMessageA(theme.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
        PumpLikeTheProgram();
        EXPECT_EQ(theme.Aborts(), 0);  // not while the removal runs
        theme.Page().ShowCompletion();
        EXPECT_TRUE(StyleOf(theme.Window()) & WS_SYSMENU);
        ::PostMessageA(theme.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
        PumpLikeTheProgram();
        EXPECT_EQ(theme.Aborts(), 1);
        ::SendMessageA(theme.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(theme.Aborts(), 2);
    }
}

TEST(PageWindow, APropertyOrColourGoesToTheControlAtItsPositionOrToTheWindow) {
    ThemePage theme("page-positions");
    TheProduct().displayName = "Fixture Notes";
    theme.WriteTheme(ThemeWithControls("", {"t,0,0,200,20,TEXT,,,1", "r,0,30,200,20,RECT,,,2"}));
    ASSERT_TRUE(theme.Load());
    CImageWindow& page = theme.Page();
    HWND text = theme.Control(page.Table()[0].windowId);
    HWND rect = theme.Control(page.Table()[1].windowId);
    page.ApplyProperty(0, "Caption", "<ProductName> [ProductName]", 1);
    EXPECT_EQ(WindowTextOf(text), "Fixture Notes [ProductName]");
    // A property its type has no use for is kept and changes nothing.
    page.ApplyProperty(1, "Caption", "shown nowhere", 1);
    EXPECT_EQ(WindowTextOf(rect), "");
    EXPECT_EQ(page.Table()[1].rows[1].value, "shown nowhere");
    page.ApplyColor(0, "1,2,3", 0);
    page.ApplyColor(1, "1,2,3", 0);
    EXPECT_EQ(static_cast<CNewLabel*>(page.ControlObject(0))->TextColor(), RGB(1, 2, 3));
    EXPECT_EQ(static_cast<CNewLabel*>(page.ControlObject(1))->TextColor(), RGB(0, 0, 0));
    // The window's properties by their numbers: 1 the caption, 2 the background colour.
    page.ApplyProperty(CImageWindow::kWindow, "caption", "[ProductName] Setup", 1);
    EXPECT_EQ(WindowTextOf(theme.Window()), "Fixture Notes Setup");
    EXPECT_EQ(page.Settings().caption, "Fixture Notes Setup");
    page.ApplyProperty(CImageWindow::kWindow, "bkcolor", "", 2);
    EXPECT_EQ(page.Settings().bkColor, "COLOR_BTNFACE");
    page.ApplyColor(CImageWindow::kWindow, "4,5,6", 1);
    EXPECT_EQ(BrushColor(page.BackgroundBrush()), RGB(4, 5, 6));
}
