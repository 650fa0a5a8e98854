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
using Properties = std::map<std::wstring, std::wstring>;

// Every call as the service would get it: per window, the properties by their
// documented identifiers (oleacc.h, UIAutomationClient.h) with their values.
class RecordingSink : public AnnotationSink {
public:
    RecordingSink() { SetAnnotationSink(this); }
    ~RecordingSink() override { SetAnnotationSink(nullptr); }
    std::map<HWND, Properties> calls;
    int cleared = 0;

    HRESULT SetText(HWND hwnd, LONG objectId, const GUID& property, const wchar_t* text) override {
        return Record(hwnd, objectId, property, text);
    }
    HRESULT SetValue(HWND hwnd, LONG objectId, const GUID& property, const VARIANT& value) override {
        return Record(hwnd, objectId, property, std::to_wstring(value.vt == VT_BOOL ? value.boolVal : value.lVal));
    }
    HRESULT SetTextSource(HWND hwnd, LONG objectId, const GUID& property, std::function<std::wstring()> text) override {
        return Record(hwnd, objectId, property, text());
    }
    HRESULT Clear(HWND, LONG, const GUID*, int) override { return ++cleared, S_OK; }

private:
    HRESULT Record(HWND hwnd, LONG objectId, const GUID& property, const std::wstring& value) {
        static const std::map<std::wstring, std::wstring> kKnown = {
            {L"{608D3DF8-8128-4AA7-A428-F55E49267291}", L"name"},
            {L"{CB905FF2-7BD1-4C05-B3C8-E6C241364D70}", L"role"},
            {L"{C12BCD8E-2A8E-4950-8AE7-3625111D58EB}", L"live"},
            {L"{95F35085-ABCC-4AFD-A5F4-DBB46C230FDB}", L"control"},
            {L"{4BDA64A8-F5D8-480B-8155-EF2E89ADB672}", L"content"}};
        wchar_t text[40] = {};
        ::StringFromGUID2(property, text, 40);
        EXPECT_EQ(objectId, OBJID_CLIENT);
        auto known = kKnown.find(text);
        calls[hwnd][known != kKnown.end() ? known->second : text] = value;
        return E_NOTIMPL;  // as Wine answers
    }
};
}  // namespace

TEST(PageAnnotation, TheServiceGetsNamesRolesAndLiveSettingsWithTheirValues) {
    RecordingSink sink;
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
    auto key = [&](int k) { return theme.Control(3000 + 8 - k); };
    const Properties decorative = {{L"name", L""}, {L"role", L"40"}, {L"control", L"0"}, {L"content", L"0"}};
    // Labels and buttons with texts of their own are told nothing; the box is named
    // by the label before it, as read; the bar by the status line; the status lines
    // are polite live regions; placeholders and a hotspot that does nothing are pictures.
    const std::map<HWND, Properties> expected = {
        {key(1), {{L"name", L"Your name:"}}},
        {key(2), {{L"live", L"1"}}},
        {key(3), {{L"live", L"1"}}},
        {key(4), {{L"name", L"Ready"}}},
        {key(5), decorative},
        {key(6), {{L"name", L"Cancel"}, {L"role", L"43"}}},  // ROLE_SYSTEM_PUSHBUTTON
        {key(7), decorative},
        {key(8), {{L"role", L"30"}}},  // ROLE_SYSTEM_LINK
    };
    EXPECT_EQ(sink.calls, expected);

    // The service refused: the page answers for itself, and nothing is cleared.
    EXPECT_TRUE(theme.Page().ControlObject(theme.Page().FindRecordByWindowId(::GetDlgCtrlID(key(1))))
                    ->Accessible().served);
    ASSERT_TRUE(theme.Load("uninstall.lcd", 0, 0));
    EXPECT_EQ(sink.cleared, 0);
}

namespace {
struct ContrastScope {
    ContrastScope() { SetHighContrastQuery([] { return true; }); }
    ~ContrastScope() { SetHighContrastQuery(nullptr); }
};
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
    const int middle = ::GetSystemMetrics(SM_CXMENUCHECK) / 2;  // of the mark, which is as high as the button's middle
    const char* const pair[] = {"IDC_ACCEPTLICENSE", "IDC_NOTACCEPTLICENSE"};
    for (const char* chosen : pair) {
        for (const char* radio : pair) theme.Page().CheckNamed(radio, radio == chosen);
        for (const char* radio : pair)
            EXPECT_EQ(PixelOf(theme.Named(radio), middle, 10, true),
                      ::GetSysColor(radio == chosen ? COLOR_WINDOWTEXT : COLOR_WINDOW))
                << chosen << " chosen, " << radio;
    }
    // A label on the skin's black becomes the system's window colour around its text.
    EXPECT_EQ(PixelOf(theme.Named("IDC_NOTE"), 150, 1, true), ::GetSysColor(COLOR_WINDOW));
}
