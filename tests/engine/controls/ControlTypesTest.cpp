// Every control type created from theme lines in the test's process, with its
// rows applied, read back through the window API.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "controls/MyButton.h"
#include "controls/MyRadioButton.h"
#include "controls/MyStatic.h"
#include "controls/NewLabel.h"
#include "framework/GdiObject.h"
#include "framework/MessageBox.h"
#include "product/ProductContext.h"
#include "support/TestFiles.h"
#include "support/ThemePage.h"

namespace {
LONG_PTR ExStyleOf(HWND hwnd) { return StyleOf(hwnd, GWL_EXSTYLE); }

std::string Line(const std::string& type, int left, int top, int width, int height, int key,
                 const std::string& picture = {}) {
    return "n," + std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(width) + "," +
           std::to_string(height) + "," + type + "," + picture + ",," + std::to_string(key);
}

RECT RecordRect(const ControlRecord& record) { return {record.left, record.top, record.right, record.bottom}; }

// The colour answer the page gives the system for one of its controls.
HBRUSH ColourAnswer(HWND page, HWND control, UINT message = WM_CTLCOLORSTATIC) {
    ScreenDC dc;
    return reinterpret_cast<HBRUSH>(
        ::SendMessageA(page, message, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), reinterpret_cast<LPARAM>(control)));
}

struct Expected {
    const char* type;
    const char* windowClass;
    DWORD styles;
    const char* caption;
    const char* identifier;
};
}  // namespace

TEST(ControlTypes, EveryTypeGetsItsClassStylesCaptionNameAndIdentifierFromTheHighestKeyDown) {
    // One of each, in table order; created from key 17 down to key 0. Without
    // rows, an empty caption setting replaces the numbered default caption.
    const Expected expected[] = {
        {"BUTTON", "Button", WS_TABSTOP, "", "IDC_BUTTON1"},
        {"BITMAP", "Static", SS_BITMAP | SS_CENTERIMAGE, "", "IDC_BITMAP2"},
        {"TEXT", "Static", 0, "", "IDC_STATIC1"},
        {"RECT", "Static", 0, "", "IDC_RECT1"},
        {"HOVER", "Static", SS_BITMAP | SS_CENTERIMAGE, "", "IDC_HOVER1"},
        {"TEXTBOX", "Edit", WS_TABSTOP | ES_MULTILINE, "", "IDC_TEXT1"},
        {"COMBOBOX", "ComboBox", CBS_DROPDOWNLIST | CBS_DISABLENOSCROLL, "", "IDC_COMBO1"},
        {"RADIO", "Button", WS_TABSTOP | BS_RADIOBUTTON, "", "IDC_RADIO1"},
        {"HOTSPOT", "Static", WS_BORDER, "", "IDC_HOTSPOT1"},
        {"ANIMATION", "Static", WS_BORDER, "Animation Box 1", "IDC_ANIMATION1"},
        {"PROGRESS", "msctls_progress32", 0, "", "IDC_PROGRESS1"},
        {"LISTVIEW", "Static", 0, "ListView1", "IDC_LISTVIEW1"},
        {"GROUPBOX", "Button", BS_GROUPBOX, "", "IDC_GROUPBOX1"},
        {"ICON", "Static", SS_ICON | SS_CENTERIMAGE, "", "IDC_ICON1"},
        {"TREEVIEW", "SysTreeView32", TVS_HASLINES, "", "IDC_TREEVIEW1"},
        {"FRAME", "Static", 0, "", "IDC_FRAME1"},
        // The rich edit drops its scroll bar's style bit while there is nothing to scroll.
        {"RICHTEXT", "RichEdit20A", ES_MULTILINE | ES_WANTRETURN, "", "IDC_RICHTEXT1"},
        {"CHECKBOX", "Button", BS_CHECKBOX, "", "IDC_CHECKBOX1"},
    };
    ThemePage theme("controls-every-type");
    std::vector<std::string> lines;
    for (size_t k = 0; k < std::size(expected); ++k)
        lines.push_back(Line(expected[k].type, 10, static_cast<int>(k) * 30, 120, 26, static_cast<int>(k),
                             "{missing}.bmp"));
    theme.WriteTheme(ThemeWithControls("fontsize=8\r\n", lines));
    ASSERT_TRUE(theme.Load());
    const ControlTable& table = theme.Page().Table();
    ASSERT_EQ(table.Count(), 18);
    for (int k = 0; k < 18; ++k) {
        const Expected& e = expected[k];
        SCOPED_TRACE(e.type);
        const ControlRecord& record = table[k];
        EXPECT_EQ(record.type, e.type);
        EXPECT_EQ(record.windowId, 3017 - k);
        EXPECT_EQ(record.sequence, 17 - k);
        EXPECT_EQ(record.identifier, e.identifier);
        HWND control = theme.Control(record.windowId);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), e.windowClass);
        EXPECT_EQ(StyleOf(control) & (e.styles | WS_CHILD | WS_VISIBLE), static_cast<LONG_PTR>(e.styles | WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(WindowTextOf(control), e.caption);
    }
    // The two picture words share one pool: the HOVER of key 4 came before the BITMAP of key 1.
    EXPECT_EQ(table[4].poolIndex, 0);
    EXPECT_EQ(table[1].poolIndex, 1);
    EXPECT_EQ(table[1].picturePath, theme.Folder() + "missing.bmp");
    EXPECT_EQ(table[2].picturePath, "");
    // Sunken edges, the white list view, the centred animation, the page font.
    for (int k : {5, 11, 14, 16}) EXPECT_TRUE(ExStyleOf(theme.Control(table[k].windowId)) & WS_EX_CLIENTEDGE) << k;
    auto* listView = static_cast<CNewLabel*>(theme.Page().ControlObject(11));
    EXPECT_EQ(listView->BackColor(), RGB(255, 255, 255));
    EXPECT_EQ(listView->FillFlag(), 1);
    EXPECT_EQ(static_cast<CNewLabel*>(theme.Page().ControlObject(9))->TextFormat(), CNewLabel::kCenter);
    EXPECT_EQ(static_cast<CNewLabel*>(theme.Page().ControlObject(3))->TextFormat(), 0u);  // never aligned
    for (int k : {5, 6, 7, 9, 12, 14, 17})
        EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(theme.Control(table[k].windowId), WM_GETFONT, 0, 0)),
                  theme.Page().PageFontHandle())
            << k;
    // Missing pictures: no message, no size; the icon is always 32 x 32.
    EXPECT_EQ(RecordRect(table[1]).right, 10);
    EXPECT_EQ(RecordRect(table[4]).bottom, 4 * 30);
    RECT icon = ClientRectOf(theme.Window(), theme.Control(table[13].windowId));
    EXPECT_EQ(icon.right - icon.left, 32);
    EXPECT_EQ(icon.bottom - icon.top, 32);
    // The combo box registers its closed box: selection field + 9.
    HWND combo = theme.Control(table[6].windowId);
    int field = static_cast<int>(::SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    EXPECT_EQ(table[6].bottom - table[6].top, field + 9);
    EXPECT_EQ(::SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
    // Created on their own, before any row, the numbered captions and the page font show.
    CImageWindow& page = theme.Page();
    page.AddButton({0, 300, 20, 305});
    page.AddText({0, 330, 40, 345});
    page.AddRadio({0, 360, 60, 380});
    page.AddGroupBox({0, 400, 60, 420});
    page.AddCheckBox({0, 430, 60, 450});
    int id = 3018;
    for (const char* caption : {"Button 2", "Text 2", "Radio 2", "GroupBox 2", "CheckBox2"})
        EXPECT_EQ(WindowTextOf(theme.Control(id++)), caption);
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(theme.Control(3018), WM_GETFONT, 0, 0)), page.PageFontHandle());
    EXPECT_EQ(static_cast<CNewLabel*>(page.ControlObject(3))->CurrentFont(), page.PageFontHandle());  // the TEXT
    EXPECT_EQ(page.Table()[0].identifier, "IDC_CHECKBOX2");
    EXPECT_EQ(page.Table()[0].right - page.Table()[0].left, 60);
}

TEST(ControlTypes, NumberingSizesThresholdsAndLimits) {
    ThemePage theme("controls-limits");
    std::vector<std::string> lines = {
        Line("BUTTON", 0, 0, 20, 5, 0),     Line("TEXT", 0, 30, 20, 9, 1),  Line("BUTTON", 0, 60, 20, 9, 2),
        Line("BUTTON", 0, 90, 20, 40, 3),   Line("BUTTON", 0, 140, 200, 5, 4), Line("button", 0, 0, 50, 50, 5),
        Line("COMBOBOX", 0, 150, 100, 200, 6)};
    for (int i = 0; i < 16; ++i) lines.push_back(Line("RECT", 300, i * 12, 40, 10, 100 + i));
    theme.WriteTheme(
        ThemeWithControls("", lines, ThemeRows(100, {"x|y|0"}) + ThemeRows(115, {"BackColor|1,2,3|1", "a|b|1"})));
    ASSERT_TRUE(theme.Load());
    const ControlTable& table = theme.Page().Table();
    // 16 RECTs: the one of the lowest key is refused with its rows; the lower-case type makes nothing.
    ASSERT_EQ(table.Count(), 6 + 15);
    EXPECT_EQ(table[0].identifier, "IDC_BUTTON4");  // key 0 was the last button created
    EXPECT_EQ(table[2].identifier, "IDC_BUTTON3");
    EXPECT_EQ(table[4].windowId, 3016);  // key 4: after the fifteen rectangles and the combo box
    EXPECT_EQ(table[5].type, "COMBOBOX");
    EXPECT_EQ(table[5].identifier, "IDC_COMBO1");
    EXPECT_EQ(table[5].windowId, 3015);
    EXPECT_EQ(table[6].identifier, "IDC_RECT15");
    EXPECT_EQ(table[20].identifier, "IDC_RECT1");  // key 115, created first
    EXPECT_EQ(table[20].rowCount, 2);
    EXPECT_EQ(theme.Page().FindControlByName("IDC_RECT16"), -1);
    // The size rule itself is the geometry's table; the page applies it as it creates.
    RECT button = ClientRectOf(theme.Window(), theme.Control(table[0].windowId));
    EXPECT_EQ(button.right - button.left, 90);  // 20 x 5: 90 x 25

    // Twenty rows at most are read for a control that never moves.
    std::vector<std::string> forty;
    for (int r = 0; r < 40; ++r) forty.push_back("r|w" + std::to_string(r) + "|" + std::to_string(r));
    theme.WriteTheme(ThemeWithControls("", {Line("TEXT", 0, 0, 50, 20, 3)}, ThemeRows(3, forty)));
    ASSERT_TRUE(theme.Load());
    EXPECT_EQ(theme.Page().Table()[0].rowCount, 20);
    EXPECT_EQ(theme.Page().Table()[0].rows[19].value, "w19");

    // 69 controls in all: the 70th is refused.
    std::vector<std::string> many;
    for (int i = 0; i < 75; ++i) many.push_back(Line(i % 2 ? "FRAME" : "HOTSPOT", 0, 0, 5, 5, 500));
    theme.WriteTheme(ThemeWithControls("", many));
    ASSERT_TRUE(theme.Load());
    EXPECT_EQ(theme.Page().Table().Count(), 30);  // 15 of each type
}

TEST(ControlTypes, RowsAreAppliedByTheirPositions) {
    ThemePage theme("controls-rows");
    TheProduct().displayName = "Fixture Notes";
    TheProduct().productCode = "{CODE}";
    theme.WriteTheme(ThemeWithControls(
        "", {Line("BUTTON", 0, 0, 90, 25, 1), Line("TEXT", 0, 30, 200, 20, 2), Line("TEXT", 0, 60, 200, 20, 3),
             Line("BUTTON", 100, 0, 90, 25, 4), Line("BUTTON", 200, 0, 90, 25, 5), Line("TEXTBOX", 0, 90, 90, 25, 6),
             Line("TEXTBOX", 0, 120, 90, 25, 7), Line("GROUPBOX", 0, 150, 90, 60, 8), Line("RADIO", 0, 220, 90, 20, 9),
             Line("LISTVIEW", 100, 90, 90, 40, 10)},
        ThemeRows(1, {"ID|IDC_NEXT|0", "Caption|[ProductName] >|1", "Align|0|2", "Face|Tahoma|3", "Size|10|4",
                      "Bold|Yes|5", "Italic|No|6", "On Click|2-Back|7", "Mouse Click|1-Next|8"}) +
            ThemeRows(2, {"ID|IDC_INFO|0", "Caption|[ProductName] <ProductName>|1", "Align|2|2", "Color|10,20,30|3",
                     "Back||4", "Face|Tahoma|5", "Size|12|6", "Bold|No|7", "Italic|No|8", "URL Link|Yes|9"}) +
            ThemeRows(3, {"ID|IDC_PLAIN|0", "Caption|plain|1", "Align|center|2", "Color|1,2,3|3", "Back|9,9,9|4"}) +
            ThemeRows(4, {"ID|IDC_BACK|0"}) + ThemeRows(5, {"ID|IDCANCEL|0"}) +
            ThemeRows(6, {"ID|IDC_SETTINGS|0", "Text|typed|1"}) +
            ThemeRows(7, {"ID|IDC_OTHER|0", "Text|x|1", "Password|Yes|2", "", "Read Only|Yes|4"}) +
            ThemeRows(8, {"", "Caption|Group [x]|1", "BackColor|40,50,60|2"}) +
            ThemeRows(9, {"ID|IDC_ACCEPTLICENSE|0", "Text|I accept|1", "BackColor||2"}) +
            ThemeRows(10, {"", "", "Style|1|2"})));
    ASSERT_TRUE(theme.Load("page.lcd", 0, 0));
    CImageWindow& page = theme.Page();
    HWND next = theme.Named("IDC_NEXT");
    EXPECT_EQ(WindowTextOf(next), "Fixture Notes >");
    EXPECT_TRUE(StyleOf(next) & BS_DEFPUSHBUTTON);
    EXPECT_EQ(page.FindClickAction(page.FindRecordByWindowId(::GetDlgCtrlID(next))), 1);
    LOGFONTA font = FontOf(reinterpret_cast<HFONT>(::SendMessageA(next, WM_GETFONT, 0, 0)));
    EXPECT_EQ(font.lfHeight, -13);  // 10 points at 96 dpi
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_FALSE(font.lfItalic);
    // Page 0 of 0: Back and Cancel start disabled.
    EXPECT_FALSE(::IsWindowEnabled(theme.Named("IDC_BACK")));
    EXPECT_FALSE(::IsWindowEnabled(theme.Named("IDCANCEL")));
    EXPECT_TRUE(::IsWindowEnabled(next));

    HWND info = theme.Named("IDC_INFO");
    auto* link = static_cast<CNewLabel*>(CWnd::FromHandle(info));
    EXPECT_EQ(WindowTextOf(info), "[ProductName] Fixture Notes");
    EXPECT_EQ(link->TextFormat(), CNewLabel::kRight);
    EXPECT_TRUE(link->Linked());
    EXPECT_EQ(link->TextColor(), RGB(0, 0, 255));
    EXPECT_EQ(theme.Record("IDC_INFO").rows[3].value, "0,0,255");
    EXPECT_EQ(theme.Record("IDC_INFO").rows[4].value, "COLOR_BTNFACE");
    EXPECT_EQ(link->FillFlag(), 0);  // the button face itself is no fill
    font = FontOf(link->CurrentFont());
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_EQ(font.lfHeight, -16);
    link->SetLink(false);
    EXPECT_EQ(link->TextColor(), RGB(0, 0, 255));  // off again: the colour stays
    font = FontOf(link->CurrentFont());
    EXPECT_FALSE(font.lfUnderline);

    auto* plain = static_cast<CNewLabel*>(CWnd::FromHandle(theme.Named("IDC_PLAIN")));
    EXPECT_EQ(plain->TextFormat(), CNewLabel::kCenter);  // "center" is no digit: 0, centred
    plain->SetAlign("center");
    plain->SetAlign("Left");
    EXPECT_EQ(plain->TextFormat(), CNewLabel::kLeft);
    plain->SetAlign("right");
    EXPECT_EQ(plain->TextFormat(), CNewLabel::kLeft);
    EXPECT_EQ(plain->TextColor(), RGB(1, 2, 3));
    EXPECT_EQ(plain->FillFlag(), 1);
    EXPECT_EQ(plain->BackColor(), RGB(9, 9, 9));
    EXPECT_FALSE(plain->Linked());

    // Text boxes keep what the theme says to themselves; only IDC_SETTINGS changes.
    HWND settings = theme.Named("IDC_SETTINGS");
    EXPECT_EQ(WindowTextOf(settings), "");
    EXPECT_EQ(ExStyleOf(settings) & (WS_EX_RIGHT | WS_EX_NOPARENTNOTIFY), WS_EX_RIGHT | WS_EX_NOPARENTNOTIFY);
    HWND other = theme.Named("IDC_OTHER");
    EXPECT_EQ(ExStyleOf(other) & (WS_EX_RIGHT | WS_EX_NOPARENTNOTIFY), 0);
    EXPECT_FALSE(StyleOf(other) & ES_READONLY);
    EXPECT_FALSE(StyleOf(other) & ES_PASSWORD);
    EXPECT_EQ(theme.Record("IDC_OTHER").rows[4].value, "Yes");

    // Group box: caption as written, its own brush for every colour request.
    HWND group = theme.Control(page.FindControlByName("IDC_GROUPBOX1"));
    EXPECT_EQ(WindowTextOf(group), "Group [x]");
    EXPECT_EQ(BrushColor(ColourAnswer(theme.Window(), group)), RGB(40, 50, 60));
    static_cast<CMyButton*>(CWnd::FromHandle(group))->SetBackColor(RGB(1, 1, 1));
    EXPECT_EQ(BrushColor(ColourAnswer(theme.Window(), group)), RGB(1, 1, 1));
    // A push button without a colour leaves the answer to the system.
    EXPECT_EQ(static_cast<CMyButton*>(CWnd::FromHandle(next))->BackBrush(), nullptr);
    EXPECT_EQ(ColourAnswer(theme.Window(), next, WM_CTLCOLORBTN),
              reinterpret_cast<HBRUSH>(::DefWindowProcA(theme.Window(), WM_CTLCOLORBTN, 0, reinterpret_cast<LPARAM>(next))));
    // The radio button's empty colour is the button face, answered with a brush of it.
    HWND radio = theme.Named("IDC_ACCEPTLICENSE");
    EXPECT_EQ(WindowTextOf(radio), "I accept");
    EXPECT_EQ(BrushColor(ColourAnswer(theme.Window(), radio)), ::GetSysColor(COLOR_BTNFACE));
    // It does not check itself (BS_RADIOBUTTON above): its mark comes from the page's licence handling.
    ::SendMessageA(radio, BM_CLICK, 0, 0);
    EXPECT_EQ(::SendMessageA(radio, BM_GETCHECK, 0, 0), BST_CHECKED);
    // The list view's style row adds the thin border.
    EXPECT_TRUE(StyleOf(theme.Control(page.FindControlByName("IDC_LISTVIEW1"))) & WS_BORDER);
}

TEST(ControlTypes, PicturesAndIconsTakeTheirSizeAndArtwork) {
    ThemePage theme("controls-pictures");
    WriteBitmapFile(theme.Folder() + "a.bmp", 64, 32, RGB(0, 128, 0));
    TestFiles::Write(theme.Folder() + "bad.bmp", "not a picture");
    std::vector<std::string> messages;
    SetMessageBoxHandler([&messages](HWND, const char* text, const char*, UINT) {
        messages.push_back(text);
        return IDOK;
    });
    theme.WriteTheme(ThemeWithControls(
        "startup=2\r\nwidth=400\r\nheight=300\r\n", {Line("BITMAP", 5, 6, 1, 1, 1, "{a}.bmp"), Line("HOVER", 100, 6, 500, 500, 2, "bad.bmp"),
             Line("ICON", 200, 6, 100, 100, 3), Line("ICON", 250, 6, 5, 5, 4), Line("ICON", 300, 6, 5, 5, 5),
             Line("BITMAP", 5, 100, 1, 1, 6, "a.bmp")},
        ThemeRows(3, {"", "Icon File:|IDI_TYPICAL|1", "BackColor:|7,8,9|2"}) +
            ThemeRows(4, {"", "Icon File:|IDI_NOPE|1"}) +
            ThemeRows(5, {"", "Icon File:|{gone}.ico|1"}) + ThemeRows(6, {"", "", "BackColor|10 0 - x|2"})));
    ASSERT_TRUE(theme.Load());
    SetMessageBoxHandler({});
    CImageWindow& page = theme.Page();
    const ControlRecord& bitmap = page.Table()[0];
    EXPECT_EQ(bitmap.identifier, "IDC_BITMAP3");  // after key 5's BITMAP and key 1's HOVER
    EXPECT_EQ(bitmap.right - bitmap.left, 64);
    EXPECT_EQ(bitmap.bottom - bitmap.top, 32);
    auto* picture = static_cast<CMyStatic*>(page.ControlObject(0));
    ASSERT_TRUE(picture->PictureLoaded());
    EXPECT_EQ(picture->PictureHimetric().cx, 1693);  // 64 pixels at 96 dpi
    EXPECT_EQ(picture->PicturePixels().cx, 64);
    const ControlRecord& unreadable = page.Table()[1];
    EXPECT_EQ(unreadable.right - unreadable.left, 0);
    EXPECT_EQ(unreadable.bottom - unreadable.top, 0);
    EXPECT_EQ(unreadable.identifier, "IDC_HOVER2");

    auto* typical = static_cast<CMyStatic*>(page.ControlObject(2));
    EXPECT_TRUE(typical->IconMode());
    EXPECT_EQ(typical->Icon(), ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(133)));
    EXPECT_NE(typical->Icon(), nullptr);
    EXPECT_EQ(typical->BackColor(), RGB(7, 8, 9));
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(typical->m_hWnd, STM_GETICON, 0, 0)), typical->Icon());
    EXPECT_EQ(static_cast<CMyStatic*>(page.ControlObject(3))->Icon(), nullptr);  // unknown name: nothing new
    // A missing icon file is reported once; the page goes on loading.
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "File not found: (" + theme.Folder() + "gone.ico)");
    EXPECT_EQ(static_cast<CMyStatic*>(page.ControlObject(5))->BackColor(), ::GetSysColor(COLOR_BTNFACE));
    for (int n = 0; n < CMyStatic::kBuiltInIcons; ++n)
        EXPECT_NE(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(CMyStatic::IconResource(n))), nullptr) << n;

    // Drawn at its corner, unstretched, over the control.
    page.ShowWindow(SW_SHOWNA);
    ::UpdateWindow(theme.Window());
    EXPECT_EQ(PixelOf(picture->m_hWnd, 10, 10), RGB(0, 128, 0));
}
