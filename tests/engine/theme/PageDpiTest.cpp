// A page at the DPI of the Wine prefix it runs in (scripts/wine-dpi-test.sh sets
// LogPixels there): every measure of its theme scaled from 96 dpi, the picture
// made for the DPI chosen or the picture enlarged smoothly, and the layout
// following the page to a monitor of 96 dpi and back.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "support/ThemePage.h"

namespace {
int TestDpi() {
    const char* dpi = std::getenv("NORVANE_TEST_DPI");
    return dpi != nullptr ? std::atoi(dpi) : 96;
}

LONG At(LONG designPixels, int dpi) { return ::MulDiv(designPixels, dpi, 96); }

// Window identifiers from the highest key down: label 3000 ... next 3006.
const std::vector<std::string> kLines = {
    "Next,290,250,88,25,BUTTON,,,10", "Tiny,11,251,5,5,BUTTON,,,11",         "Icon,18,18,32,32,ICON,,,12",
    "Logo,100,20,0,0,BITMAP,{logo.bmp},,13", "Stripes,200,20,0,0,BITMAP,{stripes.bmp},,14",
    "List,100,120,150,200,COMBOBOX,,,15", "Label,10,80,80,20,TEXT,,,16"};
// What scaling changes on the page: the edges of every control in the order of
// their window identifiers (the combo box's closed height, read as 0, follows its
// font), then the icon's size, the page font's height and the button's, and the
// margin the combo box's record keeps below its closed box.
using Geometry = std::vector<LONG>;
const Geometry kDesign = {10,  80,  90,  100, 100, 120, 250, 120, 200, 20,  220, 30,  100, 20, 140, 50,  18, 18,
                          50,  50,  11,  251, 101, 276, 290, 250, 378, 275, 32,  -11, -13, 9};
constexpr size_t kEdges = 28;
constexpr COLORREF kNamed = RGB(200, 0, 0), kAt150 = RGB(0, 160, 0), kAt200 = RGB(0, 0, 220);

LONG FontHeight(HWND window) { return FontOf(reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0))).lfHeight; }

Geometry Read(ThemePage& theme) {
    Geometry geometry;
    for (int id = 3000; id <= 3006; ++id) {
        const RECT rect = ClientRectOf(theme.Window(), theme.Control(id));
        geometry.insert(geometry.end(), {rect.left, rect.top, rect.right, id == 3001 ? rect.top : rect.bottom});
    }
    ICONINFO icon{};
    BITMAP mask{};
    if (::GetIconInfo(reinterpret_cast<HICON>(::SendMessageA(theme.Control(3004), STM_GETICON, 0, 0)), &icon)) {
        ::GetObjectA(icon.hbmMask, sizeof mask, &mask);
        ::DeleteObject(icon.hbmMask);
        if (icon.hbmColor != nullptr) ::DeleteObject(icon.hbmColor);
    }
    const ControlRecord& combo = theme.Page().Table()[5];
    const auto closedBox = ::SendMessageA(theme.Control(3001), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    geometry.insert(geometry.end(), {mask.bmWidth, FontHeight(theme.Control(3001)), FontHeight(theme.Control(3006)),
                                     static_cast<LONG>(combo.bottom - combo.top - closedBox)});
    return geometry;
}

// What the system sends a page moved to a monitor of that DPI, with the rectangle
// it suggests, which the page takes.
void MoveToMonitorOf(HWND page, int dpi) {
    RECT window{};
    ::GetWindowRect(page, &window);
    const RECT suggested{window.left + 5, window.top + 7, window.left + 5 + At(400, dpi), window.top + 7 + At(290, dpi)};
    ::SendMessageA(page, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    PumpLikeTheProgram();
    ::UpdateWindow(page);
    ::GetWindowRect(page, &window);
    EXPECT_TRUE(::EqualRect(&window, &suggested)) << "at " << dpi;
}

class PageAtDpi : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBitmapFile(theme.Folder() + "logo.bmp", 40, 30, kNamed);
        WriteBitmapFile(theme.Folder() + "logo@1.5x.bmp", 60, 45, kAt150);
        WriteBitmapFile(theme.Folder() + "logo@2x.bmp", 80, 60, kAt200);
        WriteBitmapFile(theme.Folder() + "stripes.bmp", 20, 10,
                        [](int x, int) { return x % 2 == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255); });
        theme.WriteTheme(ThemeWithControls(
            "caption=Scaled\r\nstartup=2\r\nwidth=400\r\nheight=300\r\nfontname=Tahoma\r\nfontsize=8\r\n"
            "fontbold=No\r\nfontitalic=No\r\n",
            kLines,
            "10,t=7\r\n10,0=ID|IDC_NEXT|0\r\n10,1=Caption|Next|1\r\n10,2=A|0|2\r\n10,3=F|Tahoma|3\r\n10,4=S|10|4\r\n"
            "10,5=B|No|5\r\n10,6=I|No|6\r\n12,t=2\r\n12,1=Icon File:|IDI_SETUP|1\r\n"));
        ASSERT_TRUE(theme.Load("page.lcd", 0, 2));
        theme.Page().ShowWindow(SW_SHOWNA);
        ::UpdateWindow(theme.Window());
    }

    ThemePage theme{"page-dpi"};
};
}  // namespace

TEST_F(PageAtDpi, ScalesEveryMeasureAndFollowsItsMonitor) {
    const int dpi = TestDpi();
    ScreenDC screen;
    ASSERT_EQ(::GetDeviceCaps(screen, LOGPIXELSY), dpi) << "the prefix's LogPixels";
    ASSERT_EQ(theme.Page().Dpi(), dpi);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    RECT window{};
    ::GetWindowRect(theme.Window(), &window);
    EXPECT_EQ(window.right - window.left, At(400, dpi));
    EXPECT_EQ(window.bottom - window.top, At(300, dpi) - std::max(0L, At(25, dpi) - metrics.iCaptionHeight));

    // The picture made for the smallest scaling at least as large as needed, drawn at the named one's size scaled.
    const COLORREF chosen = dpi <= 144 ? kAt150 : kAt200;
    EXPECT_EQ(PixelOf(theme.Control(3003), At(20, dpi), At(15, dpi)), chosen);
    // Without a copy for the DPI, the picture is enlarged smoothly: between 1x and 2x, stripes of
    // one pixel become greys, where picking pixels would keep only black and white.
    int greys = 0;
    for (int x = 0; x < At(20, dpi); ++x)
        greys += PixelOf(theme.Control(3002), x, 2) % 0xFFFFFF != 0;  // neither black nor white
    if (dpi % 96 != 0) { EXPECT_GT(greys, 0); }

    const Geometry atDpi = Read(theme);
    MoveToMonitorOf(theme.Window(), 96);
    EXPECT_EQ(theme.Page().Dpi(), 96);
    EXPECT_EQ(Read(theme), kDesign);
    EXPECT_EQ(PixelOf(theme.Control(3003), 20, 15), kNamed);

    // Fonts keep their point size (8 and 10 points), every other measure is scaled.
    Geometry scaled = kDesign;
    for (LONG& measure : scaled) measure = At(measure, dpi);
    scaled[kEdges + 1] = -::MulDiv(8, dpi, 72);
    scaled[kEdges + 2] = -::MulDiv(10, dpi, 72);
    EXPECT_EQ(atDpi, scaled);

    // Back on a monitor of the first DPI, everything is where it was, to the pixel.
    MoveToMonitorOf(theme.Window(), dpi);
    EXPECT_EQ(Read(theme), atDpi);
    EXPECT_EQ(PixelOf(theme.Control(3003), At(20, dpi), At(15, dpi)), chosen);
}
