// themeview.exe as a process: its check from the command line, its picture
// against the pixels of the same page shown here, a wizard of three pages
// clicked through, the progress page's simulated run, and the demo theme
// against the pictures in docs/theme-format.md.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <wincodec.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "TestPaths.h"
#include "ThemeCheck.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"
#include "support/ThemePage.h"

namespace {
const std::string kThemeview = NORVANE_BIN_DIR "\\themeview.exe";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Runs themeview to its end; its exit code and output without carriage returns.
std::pair<DWORD, std::string> RunThemeview(const std::string& arguments, const std::string& folder) {
    const std::string output = folder + "output.txt";
    DWORD code = 999;
    {
        ChildProcess themeview(kThemeview, arguments, {}, output);
        code = themeview.Wait(30000).value_or(999);
    }
    std::string text = TestFiles::Read(output);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return {code, text};
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000) {
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs; ::Sleep(10))
        if (condition()) return true;
    return condition();
}

// The shown page of the process with that title.
HWND WaitForPage(const ChildProcess& process, const char* title) {
    HWND page = nullptr;
    WaitFor([&] {
        page = FindProcessWindow(process.Id(), "#32770", title);
        return page != nullptr && ::IsWindowVisible(page);
    });
    return page != nullptr && ::IsWindowVisible(page) ? page : nullptr;
}

HWND ChildWithText(HWND parent, const std::string& text) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        if (WindowTextOf(child) == text) return child;
    return nullptr;
}

void Click(HWND button) { ::PostMessageA(button, BM_CLICK, 0, 0); }

// A PNG file's 24-bit pixels, read back through the imaging component.
struct Picture {
    UINT width = 0, height = 0;
    std::vector<BYTE> bgr;
    COLORREF At(int x, int y) const {
        const size_t at = (static_cast<size_t>(y) * width + static_cast<size_t>(x)) * 3;
        return RGB(bgr[at + 2], bgr[at + 1], bgr[at]);
    }
};

Picture ReadPng(const std::string& path) {
    Picture picture;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    const std::wstring widePath(path.begin(), path.end());
    if (SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                     reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&picture.width, &picture.height))) {
        picture.bgr.resize(static_cast<size_t>(picture.width) * picture.height * 3);
        if (FAILED(converter->CopyPixels(nullptr, picture.width * 3, static_cast<UINT>(picture.bgr.size()),
                                         picture.bgr.data())))
            picture = {};
    }
    for (IUnknown* object : std::initializer_list<IUnknown*>{converter, frame, decoder, factory})
        if (object != nullptr) object->Release();
    ::CoUninitialize();
    return picture;
}

class Themeview : public ::testing::Test {
protected:
    ThemePage theme{"themeview"};  // the folder, and a page of this process
};
}  // namespace

TEST_F(Themeview, ChecksFromTheCommandLineAndNamesItsDefaultsInItsUsage) {
    theme.WriteTheme(ThemeWithControls("", {"a,0,0,9,9,button,,,1", "b,0,0,9,9,RECT,,,2"}, "2,t=2\r\n2,1=c|1,2|1\r\n"),
                     "bad.lcd");
    theme.WriteTheme(ThemeWithControls("bkcolor=1,2,3\r\n", {"a,0,0,9,9,BUTTON,,,1"}), "clean.lcd");
    std::string expected;
    for (const ThemeProblem& problem : CheckTheme(theme.Folder(), "bad.lcd")) expected += problem.Line() + "\n";
    EXPECT_EQ(expected,
              "bad.lcd:[INFO]0: type word \"button\" is not upper case: no control is created (BUTTON)\n"
              "bad.lcd:[DADOS]2,1: colour \"1,2\" is not three numbers of 0 to 255 (red,green,blue)\n");
    EXPECT_EQ(RunThemeview("--check " + Quoted(theme.Folder()) + " clean.lcd bad.lcd", theme.Folder()),
              std::make_pair(DWORD{1}, expected));
    EXPECT_EQ(RunThemeview("--check " + Quoted(theme.Folder()) + " clean.lcd", theme.Folder()),
              std::make_pair(DWORD{0}, std::string()));

    auto [code, usage] = RunThemeview("--picture", theme.Folder());
    EXPECT_EQ(code, 2u);
    EXPECT_NE(usage.find("usage: themeview [--check]"), std::string::npos) << usage;
    EXPECT_NE(usage.find("(default: \"Sample Product\")"), std::string::npos) << usage;
    EXPECT_NE(usage.find("(default: {00000000-0000-0000-0000-000000000000})"), std::string::npos) << usage;
}

TEST_F(Themeview, RefusesPagesThatAreNotThereAndPicturesAtAnyDpiAsked) {
    theme.WriteTheme(ThemeWithControls("caption=P\r\nstartup=2\r\nwidth=300\r\nheight=200\r\n", {}), "page.lcd");
    WriteBitmapFile(theme.Folder() + "soft.bmp", 8, 8, RGB(1, 2, 3));
    theme.WriteTheme(ThemeWithControls("", {"a,0,0,0,0,BITMAP,{soft.bmp},,1"}), "soft.lcd");
    const std::string folder = Quoted(theme.Folder());
    const std::string png = theme.Folder() + "page.png";
    const struct {
        std::string arguments;
        DWORD code;
        std::string output;  // its start
    } cases[] = {
        {folder + " page.lcd nope.lcd", 1, "themeview: no such page: nope.lcd\n"},
        {"--picture " + Quoted(png) + " " + folder + " nope.lcd", 1, "themeview: no such page: nope.lcd\n"},
        {"\"\" page.lcd", 2, "themeview: the theme folder is empty\n"},
        {"--dpi 95 " + folder + " page.lcd", 2, "themeview: --dpi takes a DPI from 96 to 288, not \"95\"\n"},
        {"--dpi 289 " + folder + " page.lcd", 2, "themeview: --dpi takes a DPI from 96 to 288, not \"289\"\n"},
        // A hint alone leaves a theme clean.
        {"--check " + folder + " soft.lcd", 0, "soft.lcd:[INFO]0: hint: picture"},
        {"--dpi 144 --picture " + Quoted(png) + " " + folder + " page.lcd", 0, ""},
    };
    for (const auto& c : cases) {
        const auto [code, output] = RunThemeview(c.arguments, theme.Folder());
        EXPECT_EQ(code, c.code) << c.arguments;
        EXPECT_EQ(output.substr(0, c.output.size()), c.output) << c.arguments;
    }
    // As a monitor of 144 dpi shows it, on this one of 96: its caption of 18 pixels instead of 38.
    const Picture picture = ReadPng(png);
    EXPECT_EQ(picture.width, 450u);
    EXPECT_EQ(picture.height, 300u - 20u);
}

TEST_F(Themeview, ItsPictureHoldsThePixelsOfThePageAsShown) {
    theme.WriteTheme(ThemeWithControls(
        "caption=Picture\r\nstartup=2\r\nwidth=300\r\nheight=200\r\nbkcolor=30,60,90\r\nclosewindow=Yes\r\n"
        "fontname=Tahoma\r\nfontsize=8\r\nfontbold=No\r\nfontitalic=No\r\n",
        {"Box,20,20,60,40,RECT,,,10", "Label,100,20,180,40,TEXT,,,11"},
        "10,t=2\r\n10,1=BackColor|200,40,40|1\r\n11,t=9\r\n11,0=ID|IDC_LABEL|0\r\n11,1=Caption|WWWW|1\r\n"
        "11,2=Text Align|1|2\r\n11,3=Text Color|0,200,0|3\r\n11,4=BackColor|250,250,250|4\r\n11,5=Font|Arial|5\r\n"
        "11,6=Size|20|6\r\n11,7=Bold|Yes|7\r\n11,8=Italic|No|8\r\n"));
    const std::string png = theme.Folder() + "page.png";
    ASSERT_EQ(RunThemeview("--picture " + Quoted(png) + " " + Quoted(theme.Folder()) + " page.lcd", theme.Folder()),
              std::make_pair(DWORD{0}, std::string()));
    const Picture picture = ReadPng(png);

    ASSERT_TRUE(theme.Load("page.lcd", 0, 1));
    HWND page = theme.Window();
    ::ShowWindow(page, SW_SHOW);
    ::RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpLikeTheProgram();
    RECT outer{};
    ::GetWindowRect(page, &outer);
    POINT client{0, 0};
    ::ClientToScreen(page, &client);
    ASSERT_EQ(picture.width, static_cast<UINT>(outer.right - outer.left));
    ASSERT_EQ(picture.height, static_cast<UINT>(outer.bottom - outer.top));
    EXPECT_EQ(picture.height, 200u - 7u);  // a caption of 18 pixels instead of 25

    HDC dc = ::GetWindowDC(page);
    const int dx = client.x - outer.left, dy = client.y - outer.top;
    auto expectPixel = [&](int x, int y, COLORREF color) {
        EXPECT_EQ(picture.At(dx + x, dy + y), color) << x << "," << y;
        EXPECT_EQ(::GetPixel(dc, dx + x, dy + y), color) << x << "," << y;
    };
    expectPixel(150, 150, RGB(30, 60, 90));  // the window's background
    expectPixel(50, 40, RGB(200, 40, 40));   // the filled RECT
    expectPixel(278, 58, RGB(250, 250, 250));  // the label's own background
    // The label's letters: as many pixels of its text colour in the picture as on the page.
    int inPicture = 0, onPage = 0;
    for (int y = 20; y < 60; ++y) {
        for (int x = 100; x < 280; ++x) {
            inPicture += picture.At(dx + x, dy + y) == RGB(0, 200, 0);
            onPage += ::GetPixel(dc, dx + x, dy + y) == RGB(0, 200, 0);
        }
    }
    ::ReleaseDC(page, dc);
    EXPECT_GT(inPicture, 100);
    EXPECT_EQ(inPicture, onPage);
}

// The licence pair and Browse are the engine's, clicked in norvexec's progress
// page and keyed in themeview's (PageClicks, PageKeyboard).
TEST_F(Themeview, NextAndBackMoveThroughThreePagesAndFinishEndsIt) {
    auto page = [](const std::string& title, const char* last) {
        return ThemeWithControls("caption=" + title + "\r\nstartup=2\r\nwidth=340\r\nheight=160\r\n",
                                 {"c,10,20,90,25,BUTTON,,,10", "c,110,20,90,25,BUTTON,,,11"},
                                 "10,t=2\r\n10,0=ID|IDC_BACK|0\r\n10,1=T|IDC_BACK|1\r\n11,t=2\r\n11,0=ID|" +
                                     std::string(last) + "|0\r\n11,1=T|" + last + "|1\r\n");
    };
    theme.WriteTheme(page("Page 1", "IDC_NEXT"), "p1.lcd");
    theme.WriteTheme(page("Page 2", "IDC_NEXT"), "p2.lcd");
    theme.WriteTheme(page("Page 3", "IDC_FINISH"), "p3.lcd");
    ChildProcess themeview(kThemeview, Quoted(theme.Folder()) + " p1.lcd p2.lcd p3.lcd");

    HWND first = WaitForPage(themeview, "Page 1");
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(ChildWithText(first, "IDC_BACK")));  // nothing before the first page
    Click(ChildWithText(first, "IDC_NEXT"));
    HWND second = WaitForPage(themeview, "Page 2");
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(first); }));

    Click(ChildWithText(second, "IDC_BACK"));
    HWND again = WaitForPage(themeview, "Page 1");
    ASSERT_NE(again, nullptr);
    // The page left ends right after the new one shows; only then is "Page 2" the new one.
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(second); }));
    Click(ChildWithText(again, "IDC_NEXT"));
    second = WaitForPage(themeview, "Page 2");
    ASSERT_NE(second, nullptr);
    Click(ChildWithText(second, "IDC_NEXT"));
    HWND last = WaitForPage(themeview, "Page 3");
    ASSERT_NE(last, nullptr);
    // The last page of a sequence has no way back: its Back is disabled as it loads.
    EXPECT_FALSE(::IsWindowEnabled(ChildWithText(last, "IDC_BACK")));
    Click(ChildWithText(last, "IDC_FINISH"));
    EXPECT_EQ(themeview.Wait(10000), std::optional<DWORD>(0u));
}

TEST_F(Themeview, TheProgressPageRunsHalfwayOrToItsCompletedStateWithTheLanguageFilesTexts) {
    theme.WriteTheme(ThemeWithControls(
                         "caption=[ProductName] - Uninstall\r\nstartup=2\r\nwidth=400\r\nheight=200\r\n",
                         {"Info,10,10,380,20,TEXT,,,10", "Bar,10,40,380,18,PROGRESS,,,11",
                          "Status,10,70,380,20,TEXT,,,12", "Cancel,290,120,100,25,BUTTON,,,13"},
                         "10,t=1\r\n10,0=ID|IDC_INFO|0\r\n12,t=1\r\n12,0=ID|IDC_STATIC1|0\r\n"
                         "13,t=2\r\n13,0=ID|IDCANCEL|0\r\n13,1=Caption|Cancel|1\r\n"),
                     "uninstall.lcd");
    TestFiles::Write(theme.Folder() + "language.lan",
                     "[SetupProgress]\r\n10=<ProductName> is gone.\r\n"
                     "[SetupCompleteSuccess]\r\n1=Close [ProductName]\r\n5=[ProductName] ([ProductCode]) removed.\r\n");
    const std::string arguments = "--product Notes --code {C0DE} --language " +
                                  Quoted(theme.Folder() + "language.lan") + " " + Quoted(theme.Folder()) +
                                  " uninstall.lcd";
    // Window identifiers from the highest key down: Cancel 3000, status 3001, bar 3002, information 3003.
    {
        ChildProcess halfway(kThemeview, "--progress 50 " + arguments);
        HWND page = WaitForPage(halfway, "Notes - Uninstall");
        ASSERT_NE(page, nullptr);
        HWND bar = ::GetDlgItem(page, 3002);
        EXPECT_TRUE(WaitFor([&] { return ::SendMessageA(bar, PBM_GETPOS, 0, 0) == 20; }));
        EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 40);
        EXPECT_EQ(WindowTextOf(::GetDlgItem(page, 3003)), "Removing Files...");
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, 3000)));  // no way out while the removal runs
        ::PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(halfway.Wait(10000), std::optional<DWORD>(0u));
    }
    ChildProcess themeview(kThemeview, arguments);
    HWND page = WaitForPage(themeview, "Notes - Uninstall");
    ASSERT_NE(page, nullptr);
    HWND cancel = ::GetDlgItem(page, 3000);
    HWND bar = ::GetDlgItem(page, 3002);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(cancel) && WindowTextOf(cancel) == "Close Notes"; }));
    EXPECT_EQ(::SendMessageA(bar, PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(WindowTextOf(::GetDlgItem(page, 3003)), "Notes is gone.");
    EXPECT_EQ(WindowTextOf(::GetDlgItem(page, 3001)), "Notes ({C0DE}) removed.");
    Click(cancel);
    EXPECT_EQ(themeview.Wait(10000), std::optional<DWORD>(0u));
}

// The demo theme as the pictures in docs/ show it, made before pages took the
// keyboard into account: the same files, so no focus cue shows without a key.
TEST_F(Themeview, DrawsTheDemoThemeAsTheReadmeShowsIt) {
    const std::string demo = NORVANE_SOURCE_DIR "\\demo\\norvane\\installer\\";
    for (const char* variant : {"background.jpg", "background@1.5x.jpg", "background@2x.jpg"})
        ASSERT_TRUE(::CopyFileA((demo + "theme\\" + variant).c_str(), (theme.Folder() + variant).c_str(), FALSE));
    for (const char* page : {"licence.lcd", "uninstall.lcd"}) {  // its picture by a full path, as installed
        std::string text = TestFiles::Read(demo + "theme\\" + page);
        text.replace(text.find("@THEMEPICTURE@"), 14, theme.Folder() + "background.jpg");
        ASSERT_TRUE(TestFiles::Write(theme.Folder() + page, text));
    }
    const std::string png = theme.Folder() + "shot.png";
    for (auto [options, pages, readme] : {std::tuple{"", "licence.lcd uninstall.lcd", "licence-page"},
                                          {"--dpi 144", "licence.lcd uninstall.lcd", "licence-page-144"},
                                          {"--progress 45", "uninstall.lcd", "themeview-progress"}}) {
        RunThemeview(std::string(options) + " --picture " + Quoted(png) +
                         " --product \"Norvane Demo Notes\" --code {7D1C9E52-4B0A-4F3E-9C61-2E8A5B40D917} --language " +
                         Quoted(demo + "language.lan") + " " + Quoted(theme.Folder()) + " " + pages,
                     theme.Folder());
        const std::string wanted = NORVANE_SOURCE_DIR "\\docs\\" + std::string(readme) + ".png";
        EXPECT_TRUE(TestFiles::Read(png) == TestFiles::Read(wanted)) << readme;
    }
}
