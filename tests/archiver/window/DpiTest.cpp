// The window at the DPI of the Wine prefix it runs in (scripts/wine-dpi-test.sh
// sets LogPixels there): the layout made for 96 dpi with every measure scaled, in
// this process, where fonts can be read, and as the program shows it; and the
// layout following the window from one monitor's DPI to another's.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <ostream>

#include "WindowTestSupport.h"
#include "support/ArchiveTestSupport.h"
#include "window/Form1.h"

namespace {
int TestDpi() {
    const char* dpi = std::getenv("NORVANE_TEST_DPI");
    return dpi != nullptr ? std::atoi(dpi) : 96;
}

LONG At(LONG designPixels, int dpi) { return ::MulDiv(designPixels, dpi, 96); }

// What scaling changes in the window, read through the window API.
struct Geometry {
    std::array<LONG, 2> client{};
    std::vector<std::array<LONG, 4>> controls;  // every control's edges, the panel's picture included
    std::vector<LONG> fonts;                    // their fonts' heights, in this process only
    std::vector<int> columns;                   // the list's column widths
    LRESULT itemHeight = 0;                     // the list box's
    bool operator==(const Geometry&) const = default;
};

void PrintTo(const Geometry& geometry, std::ostream* out) {
    *out << "client " << geometry.client[0] << "x" << geometry.client[1] << ", controls";
    for (const auto& edges : geometry.controls) *out << " " << edges[0] << "," << edges[1] << "," << edges[2] << "," << edges[3];
    *out << ", fonts";
    for (LONG height : geometry.fonts) *out << " " << height;
    *out << ", columns";
    for (int width : geometry.columns) *out << " " << width;
    *out << ", item height " << geometry.itemHeight;
}

void ReadControls(HWND parent, bool fonts, Geometry& geometry) {
    for (HWND child : FormRemote::Children(parent)) {
        const RECT rect = FormRemote::RectInParent(child);
        geometry.controls.push_back({rect.left, rect.top, rect.right, rect.bottom});
        if (fonts) {
            LOGFONTW font{};
            ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)), sizeof font, &font);
            geometry.fonts.push_back(font.lfHeight);
        }
        const std::wstring className = FormRemote::ClassOf(child);
        if (className == L"TPanel") ReadControls(child, fonts, geometry);
        if (className == WC_LISTVIEWW) {
            HWND header = reinterpret_cast<HWND>(::SendMessageW(child, LVM_GETHEADER, 0, 0));
            const auto count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
            for (int column = 0; column < count; ++column)
                geometry.columns.push_back(static_cast<int>(::SendMessageW(child, LVM_GETCOLUMNWIDTH, column, 0)));
        }
        if (className == L"ListBox") geometry.itemHeight = ::SendMessageW(child, LB_GETITEMHEIGHT, 0, 0);
    }
}

Geometry Read(HWND form, bool fonts) {
    Geometry geometry;
    RECT client{};
    ::GetClientRect(form, &client);
    geometry.client = {client.right, client.bottom};
    ReadControls(form, fonts, geometry);
    return geometry;
}

// As a form designed at 96 dpi scales: every edge, font height and width.
Geometry Scaled(Geometry geometry, int dpi) {
    for (LONG& size : geometry.client) size = At(size, dpi);
    for (auto& edges : geometry.controls)
        for (LONG& edge : edges) edge = At(edge, dpi);
    for (LONG& height : geometry.fonts) height = At(height, dpi);
    for (int& width : geometry.columns) width = At(width, dpi);
    geometry.itemHeight = At(static_cast<LONG>(geometry.itemHeight), dpi);
    return geometry;
}

// What the system sends a window moved to a monitor of that DPI: the rectangle it
// suggests keeps the frame and holds the layout's client area at that DPI.
void MoveToMonitorOf(HWND form, int dpi) {
    RECT window{}, client{};
    ::GetWindowRect(form, &window);
    ::GetClientRect(form, &client);
    const RECT suggested{window.left, window.top, window.right - client.right + At(756, dpi),
                         window.bottom - client.bottom + At(466, dpi)};
    ::SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    ::GetWindowRect(form, &window);
    EXPECT_TRUE(::EqualRect(&window, &suggested)) << "the window took another rectangle at " << dpi;
}

class FormAtDpi : public ::testing::Test {
protected:
    void SetUp() override {
        ::GetCurrentDirectoryW(MAX_PATH, m_previous);
        m_folder = ArchiveTest::FreshFolder(L"window-at-dpi");
        WindowTest::WriteSettings(m_folder, L"C:\\dane\\", {L"C:\\dane\\zażółć.txt"}, L"C:\\odtworzone");
        ::SetCurrentDirectoryW(m_folder.c_str());
        form = std::make_unique<TForm1>(nullptr);
    }
    void TearDown() override {
        form.reset();
        ::SetCurrentDirectoryW(m_previous);
    }

    std::unique_ptr<TForm1> form;
    std::wstring m_folder;

private:
    wchar_t m_previous[MAX_PATH] = {};
};
}  // namespace

TEST_F(FormAtDpi, LaysOutTheDesignScaledAndFollowsItsMonitor) {
    const int dpi = TestDpi();
    HDC screen = ::GetDC(nullptr);
    ASSERT_EQ(::GetDeviceCaps(screen, LOGPIXELSY), dpi) << "the prefix's LogPixels";
    ::ReleaseDC(nullptr, screen);
    const Geometry atDpi = Read(form->Handle(), true);
    EXPECT_EQ(atDpi.client, (std::array<LONG, 2>{At(756, dpi), At(466, dpi)}));

    MoveToMonitorOf(form->Handle(), 96);
    const Geometry design = Read(form->Handle(), true);
    EXPECT_EQ(design.client, (std::array<LONG, 2>{756, 466}));
    ASSERT_EQ(design.controls.size(), 18u);
    EXPECT_EQ(design.controls[9], (std::array<LONG, 4>{8, 112, 745, 325}));  // ListView1
    EXPECT_EQ(design.fonts[0], -16);                                          // Label5
    EXPECT_EQ(design.columns.front(), 130);
    EXPECT_EQ(design.itemHeight, 14);
    EXPECT_EQ(atDpi, Scaled(design, dpi));

    // Back on a monitor of the first DPI, everything is where it was, to the pixel.
    MoveToMonitorOf(form->Handle(), dpi);
    EXPECT_EQ(Read(form->Handle(), true), atDpi);
}

TEST_F(FormAtDpi, TheProgramShowsTheSameWindowAsScaledHere) {
    WindowTest::ArchiverWindow program(m_folder);
    program.form = FormRemote::WaitForTopWindow(program.Id(), L"TForm1", 20000);
    ASSERT_NE(program.form, nullptr);
    EXPECT_EQ(Read(program.form, false), Read(form->Handle(), false));
    EXPECT_EQ(program.End(), 0u);
}
