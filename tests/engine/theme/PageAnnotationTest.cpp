// What a page tells the annotation service (Wine refuses the service, so a
// recording sink stands in for it) and how it draws in high contrast (Wine
// cannot switch it on, so the query seam answers).
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <map>

#include "framework/Accessible.h"
#include "framework/HighContrast.h"
#include "support/ThemePage.h"

namespace {
// The documented property identifiers (oleacc.h, UIAutomationClient.h).
constexpr GUID kName = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kRole = {0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};
constexpr GUID kLiveSetting = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr GUID kIsContent = {0x4bda64a8, 0xf5d8, 0x480b, {0x81, 0x55, 0xef, 0x2e, 0x89, 0xad, 0xb6, 0x72}};

// Every call as the service would get it: per window, per property, the text
// (asked of a text source at once) or the number.
class RecordingSink : public AnnotationSink {
public:
    struct Value {
        std::wstring text;
        long number = -1;
    };
    std::map<HWND, std::map<std::wstring, Value>> calls;
    int cleared = 0;

    HRESULT SetText(HWND hwnd, LONG objectId, const GUID& property, const wchar_t* text) override {
        Take(hwnd, objectId, property).text = text;
        return E_NOTIMPL;
    }
    HRESULT SetValue(HWND hwnd, LONG objectId, const GUID& property, const VARIANT& value) override {
        Take(hwnd, objectId, property).number = value.vt == VT_I4 ? value.lVal : value.vt == VT_BOOL ? value.boolVal : -2;
        return E_NOTIMPL;
    }
    HRESULT SetTextSource(HWND hwnd, LONG objectId, const GUID& property, std::function<std::wstring()> text) override {
        Take(hwnd, objectId, property).text = text();
        return E_NOTIMPL;
    }
    HRESULT Clear(HWND, LONG, const GUID*, int) override {
        ++cleared;
        return S_OK;
    }
    const Value* Find(HWND hwnd, const GUID& property) const {
        auto window = calls.find(hwnd);
        if (window == calls.end()) return nullptr;
        auto found = window->second.find(Key(property));
        return found != window->second.end() ? &found->second : nullptr;
    }

private:
    static std::wstring Key(const GUID& property) {
        wchar_t text[40] = {};
        ::StringFromGUID2(property, text, 40);
        return text;
    }
    Value& Take(HWND hwnd, LONG objectId, const GUID& property) {
        EXPECT_EQ(objectId, OBJID_CLIENT);
        return calls[hwnd][Key(property)];
    }
};

class SinkScope {
public:
    SinkScope() { SetAnnotationSink(&sink); }
    ~SinkScope() { SetAnnotationSink(nullptr); }
    RecordingSink sink;
};
}  // namespace

TEST(PageAnnotation, TheServiceGetsNamesRolesAndLiveSettingsWithTheirValues) {
    SinkScope scope;
    ThemePage theme("page-annotation");
    theme.WriteTheme(ThemeWithControls(
                         "", {"a,10,10,80,20,TEXT,,,0", "b,100,8,150,24,TEXTBOX,,,1", "c,10,40,200,20,TEXT,,,2",
                              "d,10,70,200,20,TEXT,,,3", "e,10,100,200,20,PROGRESS,,,4", "f,10,130,80,30,ANIMATION,,,5",
                              "g,100,130,40,20,HOTSPOT,,,6", "h,150,130,40,20,HOTSPOT,,,7", "i,10,170,120,20,TEXT,,,8"},
                         "0,t=2\r\n0,0=ID|IDC_NAMELABEL|0\r\n0,1=Caption|Your &name:|1\r\n"
                         "2,t=2\r\n2,0=ID|IDC_INFO|0\r\n2,1=Caption|Removing|1\r\n"
                         "3,t=2\r\n3,0=ID|IDC_STATIC1|0\r\n3,1=Caption|Ready|1\r\n"
                         "6,t=1\r\n6,0=ID|IDCANCEL|0\r\n"
                         "8,t=10\r\n8,0=ID|IDC_LINK|0\r\n8,1=Caption|Website|1\r\n8,9=URL Link|Yes|9\r\n"),
                     "uninstall.lcd");
    ASSERT_TRUE(theme.Load("uninstall.lcd", 0, 0));
    const RecordingSink& sink = scope.sink;
    auto key = [&](int k) { return theme.Control(3000 + 8 - k); };

    // The box is named by the label before it, as read; the bar by the status line.
    ASSERT_NE(sink.Find(key(1), kName), nullptr);
    EXPECT_EQ(sink.Find(key(1), kName)->text, L"Your name:");
    ASSERT_NE(sink.Find(key(4), kName), nullptr);
    EXPECT_EQ(sink.Find(key(4), kName)->text, L"Ready");
    for (int status : {2, 3}) {
        ASSERT_NE(sink.Find(key(status), kLiveSetting), nullptr) << status;
        EXPECT_EQ(sink.Find(key(status), kLiveSetting)->number, 1) << status;  // Polite
    }
    // The placeholder and the hotspot that does nothing are pictures, no content.
    for (int decorative : {5, 7}) {
        ASSERT_NE(sink.Find(key(decorative), kRole), nullptr) << decorative;
        EXPECT_EQ(sink.Find(key(decorative), kRole)->number, ROLE_SYSTEM_GRAPHIC);
        EXPECT_EQ(sink.Find(key(decorative), kName)->text, L"");
        EXPECT_EQ(sink.Find(key(decorative), kIsContent)->number, VARIANT_FALSE);
    }
    EXPECT_EQ(sink.Find(key(6), kRole)->number, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(sink.Find(key(6), kName)->text, L"Cancel");
    EXPECT_EQ(sink.Find(key(8), kRole)->number, ROLE_SYSTEM_LINK);
    // Labels and buttons with texts of their own are told nothing.
    EXPECT_EQ(sink.calls.count(key(0)), 0u);

    // The service refused: the page answers for itself, and nothing is cleared.
    EXPECT_TRUE(theme.Page().ControlObject(theme.Page().FindRecordByWindowId(::GetDlgCtrlID(key(1))))
                    ->Accessible().served);
    ASSERT_TRUE(theme.Load("uninstall.lcd", 0, 0));
    EXPECT_EQ(sink.cleared, 0);
}

namespace {
bool ContrastOn() { return true; }

class ContrastScope {
public:
    ContrastScope() { SetHighContrastQuery(ContrastOn); }
    ~ContrastScope() { SetHighContrastQuery(nullptr); }
};

// The colour at the middle of the radio button's mark, as painted.
COLORREF MarkMiddle(HWND radio) {
    ::RedrawWindow(radio, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT client;
    ::GetClientRect(radio, &client);
    HDC dc = ::GetDC(radio);
    const int size = ::GetSystemMetrics(SM_CXMENUCHECK);
    const COLORREF color = ::GetPixel(dc, size / 2, client.bottom / 2);
    ::ReleaseDC(radio, dc);
    return color;
}
}  // namespace

TEST(PageAnnotation, InHighContrastTheChosenRadioAloneShowsItsMarkInSystemColours) {
    ContrastScope contrast;
    ThemePage theme("page-contrast");
    theme.WriteTheme(ThemeWithControls(
        "[MAINWINDOW]\r\nwidth=300\r\nheight=120\r\n",
        {"a,10,10,200,20,RADIO,,,0", "b,10,40,200,20,RADIO,,,1", "c,10,70,200,20,TEXT,,,2"},
        "0,t=3\r\n0,0=ID|IDC_ACCEPTLICENSE|0\r\n0,1=Text|Yes|1\r\n0,2=BackColor|0,0,0|2\r\n"
        "1,t=3\r\n1,0=ID|IDC_NOTACCEPTLICENSE|0\r\n1,1=Text|No|1\r\n1,2=BackColor|0,0,0|2\r\n"
        "2,t=5\r\n2,0=ID|IDC_NOTE|0\r\n2,1=Caption|Note|1\r\n2,3=Text Color|0,0,128|3\r\n2,4=BackColor|0,0,0|4\r\n"));
    ASSERT_TRUE(theme.Load());
    theme.Page().ShowWindow(SW_SHOWNOACTIVATE);
    theme.Page().CheckNamed("IDC_ACCEPTLICENSE", true);
    theme.Page().CheckNamed("IDC_NOTACCEPTLICENSE", false);
    EXPECT_EQ(MarkMiddle(theme.Named("IDC_ACCEPTLICENSE")), ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(MarkMiddle(theme.Named("IDC_NOTACCEPTLICENSE")), ::GetSysColor(COLOR_WINDOW));
    theme.Page().CheckNamed("IDC_ACCEPTLICENSE", false);
    theme.Page().CheckNamed("IDC_NOTACCEPTLICENSE", true);
    EXPECT_EQ(MarkMiddle(theme.Named("IDC_ACCEPTLICENSE")), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(MarkMiddle(theme.Named("IDC_NOTACCEPTLICENSE")), ::GetSysColor(COLOR_WINDOWTEXT));

    // A label on the skin's black becomes the system's window colour around its text.
    HWND note = theme.Named("IDC_NOTE");
    ::RedrawWindow(note, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = ::GetDC(note);
    EXPECT_EQ(::GetPixel(dc, 150, 1), ::GetSysColor(COLOR_WINDOW));
    ::ReleaseDC(note, dc);
}
