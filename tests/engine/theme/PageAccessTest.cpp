// Pages without a mouse and through a screen reader: themeview shows them as
// a process, keys are pressed as a user presses them and the accessible
// objects are read from this process, as assistive technology reads them.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "TestPaths.h"
#include "support/AssistiveView.h"
#include "support/ChildProcess.h"
#include "support/ThemePage.h"

namespace {
const std::string kThemeview = NORVANE_BIN_DIR "\\themeview.exe";
const std::string kDemoTheme = NORVANE_SOURCE_DIR "\\demo\\norvane\\installer\\theme\\";

// themeview showing pages of a folder; the first one once one of its controls
// has the focus (activation gives it to the page itself first).
class ShownPages {
public:
    ShownPages(const std::string& folder, const std::string& pages, const std::string& options = {})
        : m_process(kThemeview, options + " \"" + folder + "\" " + pages) {
        WaitFor([this] {
            page = FindProcessWindow(m_process.Id(), "#32770");
            HWND focus = page != nullptr && ::IsWindowVisible(page) ? AssistiveView::FocusOf(page) : nullptr;
            return focus != nullptr && ::IsChild(page, focus);
        });
    }
    HWND Control(const std::string& text) const { return ChildWithText(page, text); }
    DWORD Id() const { return m_process.Id(); }

    HWND page = nullptr;

private:
    ChildProcess m_process;
};

struct Expected {
    const wchar_t* name;  // as read; null: none
    long role;            // 0: the system's (Wine says "client" for most)
};

// Every control of a page of `total` controls as a client of another process
// reads it: named by its own text ("&" removed) but for the exceptions, by key.
void ExpectNamesAndRoles(HWND page, size_t total, const std::map<int, Expected>& exceptions) {
    const std::vector<AssistiveView::Node> nodes = AssistiveView::ReadChildren(page);
    ASSERT_EQ(nodes.size(), total);
    for (const AssistiveView::Node& node : nodes) {
        // Windows are made from the highest key down, from 3000 on.
        const int key = static_cast<int>(3000 + total - 1) - ::GetDlgCtrlID(node.hwnd);
        std::string text = WindowTextOf(node.hwnd);
        text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
        auto exception = exceptions.find(key);
        const std::wstring own(text.begin(), text.end());
        const Expected want = exception != exceptions.end() ? exception->second : Expected{own.c_str(), 0};
        EXPECT_EQ(node.hasName, want.name != nullptr) << key;
        EXPECT_EQ(node.name, want.name != nullptr ? want.name : L"") << key;
        EXPECT_EQ(node.role, want.role != 0 ? want.role : node.role) << key;
    }
}

// Presses the key once for each control named, expecting the focus on it.
void ExpectWalk(const ShownPages& shown, WORD key, bool shift, const std::vector<const char*>& order) {
    for (const char* text : order) {
        HWND want = shown.Control(text);
        EXPECT_EQ(AssistiveView::PressKey(shown.page, key, shift, want), want) << text;
    }
}

bool Checked(HWND button) { return ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
}  // namespace

TEST(PageKeyboard, TheDemoLicencePageInReadingOrderWithItsPairOnTheArrowKeys) {
    ShownPages shown(kDemoTheme, "licence.lcd uninstall.lcd");
    ASSERT_NE(shown.page, nullptr);
    HWND next = shown.Control("Next >");
    EXPECT_EQ(AssistiveView::FocusOf(shown.page), next);
    // Opened without a key: the page, which its buttons ask, hides the focus cue until a key is used.
    EXPECT_TRUE(::SendMessageA(shown.page, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
    // Back is disabled on the first page; the walk goes round, both ways.
    const std::vector<const char*> forward = {"Cancel", "I accept the agreement", "I do not accept the agreement",
                                              "Browse...", "Next >"};
    ExpectWalk(shown, VK_TAB, false, forward);
    EXPECT_FALSE(::SendMessageA(shown.page, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
    ExpectWalk(shown, VK_TAB, true, {"Browse...", "I do not accept the agreement", "I accept the agreement",
                                     "Cancel", "Next >"});
    EXPECT_TRUE(::GetWindowLongPtrA(next, GWL_STYLE) & BS_DEFPUSHBUTTON);

    // The arrows press the other radio button of the pair as a click does, and stay in it.
    HWND accept = shown.Control("I accept the agreement"), decline = shown.Control("I do not accept the agreement");
    ExpectWalk(shown, VK_TAB, false, {"Cancel", "I accept the agreement"});
    for (WORD key : {VK_DOWN, VK_RIGHT, VK_UP, VK_LEFT}) {
        HWND from = AssistiveView::FocusOf(shown.page), to = from == accept ? decline : accept;
        EXPECT_EQ(AssistiveView::PressKey(shown.page, key, false, to), to);
        EXPECT_TRUE(WaitFor([&] { return Checked(to) && !Checked(from); }));
        EXPECT_EQ(::IsWindowEnabled(next) != FALSE, to == accept);
    }
    // The one not chosen stays on the way of Tab.
    ExpectWalk(shown, VK_TAB, false, {"I do not accept the agreement", "Browse..."});
    // Space opens the folder chooser; once it is closed, Browse has the focus again.
    HWND browse = shown.Control("Browse...");
    AssistiveView::PressKey(browse, VK_SPACE);
    HWND chooser = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (chooser = FindProcessWindow(shown.Id(), "#32770", "Brellix Norvane")); }));
    ::PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(chooser) && AssistiveView::FocusOf(shown.page) == browse; }));
    ExpectWalk(shown, VK_TAB, false, {"Next >"});

    // The icon and the frame are decorative; the link says so.
    ExpectNamesAndRoles(shown.page, 14,
                        {{0, {nullptr, ROLE_SYSTEM_GRAPHIC}}, {3, {nullptr, ROLE_SYSTEM_GRAPHIC}},
                         {10, {L"Norvane setup engine", ROLE_SYSTEM_LINK}}});
}

TEST(PageKeyboard, TheCompletedProgressPageHasItsClosingButtonFocusedAndAnnouncesItsStatus) {
    // Every process's events, from before the run: its completion may come at once.
    AssistiveView::EventCounter announced(0, 0x8019);  // EVENT_OBJECT_LIVEREGIONCHANGED, Windows 8 on
    ShownPages shown(kDemoTheme, "uninstall.lcd",
                     "--language \"" NORVANE_SOURCE_DIR "\\demo\\norvane\\installer\\language.lan\"");
    ASSERT_NE(shown.page, nullptr);
    // Keys 10, 6 and 5.
    HWND cancel = ::GetDlgItem(shown.page, 3000), status = ::GetDlgItem(shown.page, 3004);
    HWND barWindow = ::GetDlgItem(shown.page, 3005);
    EXPECT_TRUE(WaitFor([&] { return AssistiveView::FocusOf(shown.page) == cancel; }));
    EXPECT_TRUE(::IsWindowEnabled(cancel));
    EXPECT_FALSE(::GetWindowLongPtrA(cancel, GWL_STYLE) & BS_DEFPUSHBUTTON);  // focused, not made the default
    EXPECT_TRUE(announced.WaitFor(status, 1));
    // The bar is named by the status line as it reads now.
    const std::vector<AssistiveView::Node> nodes = AssistiveView::ReadChildren(shown.page);
    auto bar = std::find_if(nodes.begin(), nodes.end(), [&](const auto& n) { return n.hwnd == barWindow; });
    ASSERT_NE(bar, nodes.end());
    const std::string text = WindowTextOf(status);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(bar->name, std::wstring(text.begin(), text.end()));
}

namespace {
// A page with a control of every type, as a theme author would lay it out:
// labels before the input controls, pictures that act as buttons and pictures
// that do not, placeholders, a link.
std::string EveryTypePage(const std::string& folder) {
    WriteBitmapFile(folder + "back.bmp", 40, 20, RGB(0, 0, 200));
    WriteBitmapFile(folder + "line.bmp", 40, 4, RGB(90, 90, 90));
    const std::vector<std::string> lines = {
        "a,10,10,80,20,TEXT,,,0",         "b,100,8,150,24,TEXTBOX,,,1",    "c,10,42,80,20,TEXT,,,2",
        "d,100,40,150,100,COMBOBOX,,,3",  "e,10,72,80,20,TEXT,,,4",        "f,100,70,150,40,TREEVIEW,,,5",
        "g,10,122,80,20,TEXT,,,6",        "h,100,120,150,40,RICHTEXT,,,7", "i,10,170,150,20,CHECKBOX,,,8",
        "j,170,170,100,20,RADIO,,,9",     "k,10,200,120,20,RADIO,,,10",    "l,140,200,120,20,RADIO,,,11",
        "m,10,230,260,50,GROUPBOX,,,12",  "n,20,250,20,20,RECT,,,13",      "o,50,250,40,20,FRAME,,,14",
        "p,100,245,32,32,ICON,,,15",      "q,10,290,100,30,ANIMATION,,,16", "r,120,290,100,30,LISTVIEW,,,17",
        "s,10,332,80,20,TEXT,,,18",       "t,100,330,150,20,PROGRESS,,,19", "u,10,360,0,0,BITMAP,{back.bmp},,20",
        "v,60,360,0,0,HOVER,{back.bmp},,21", "w,110,360,40,20,HOTSPOT,,,22", "x,160,370,0,0,BITMAP,{line.bmp},,23",
        "y,10,400,80,20,TEXT,,,24",       "z,100,398,80,25,BUTTON,,,25",   "zz,190,398,80,25,BUTTON,,,26",
    };
    // Key, identifier and the caption or text row, if any.
    const std::tuple<int, const char*, const char*> named[] = {
        {0, "IDC_NAMELABEL", "Caption|Your name:"}, {2, "IDC_EDITIONLABEL", "Caption|Edition:"},
        {4, "IDC_PARTSLABEL", "Caption|&Parts:"},   {6, "IDC_NOTESLABEL", "Caption|Notes:"},
        {8, "IDC_REPORTS", "Text|Send reports"},    {9, "IDC_EXTRA", "Text|Extras"},
        {10, "IDC_ANYONE", "Text|For anyone"},      {11, "IDC_ONLYFORME", "Text|Only for me"},
        {12, "IDC_GROUP", "Caption|Look"},          {18, "IDC_COPYLABEL", "Caption|Copying:"},
        {20, "IDC_BACK", nullptr},                  {22, "IDC_BROWSE", nullptr},
        {25, "IDC_NEXT", "Caption|Next >"},         {26, "IDCANCEL", "Caption|Cancel"}};
    std::string rows = ThemeRows(21, {"On Click|1-Next page|0"}) +
                       ThemeRows(24, {"ID|IDC_LINK|0", "Caption|Website|1", "", "", "", "", "", "", "", "URL Link|Yes|9"});
    for (const auto& [key, identifier, caption] : named)
        rows += caption != nullptr ? ThemeRows(key, {std::string("ID|") + identifier + "|0", caption + std::string("|1")})
                                   : ThemeRows(key, {std::string("ID|") + identifier + "|0"});
    return ThemeWithControls("caption=Every type\r\nwidth=300\r\nheight=460\r\n", lines, rows);
}
}  // namespace

TEST(PageKeyboard, APageOfEveryTypeInReadingOrderNamedForAScreenReader) {
    ThemePage theme("every-type");
    theme.WriteTheme(EveryTypePage(theme.Folder()), "every.lcd");
    theme.WriteTheme(ThemeWithControls("", {}), "last.lcd");
    ShownPages shown(theme.Folder(), "every.lcd last.lcd");
    ASSERT_NE(shown.page, nullptr);
    auto id = [&](int key) { return ::GetDlgItem(shown.page, 3000 + 26 - key); };
    EXPECT_EQ(AssistiveView::FocusOf(shown.page), id(25));
    // Text box, combo box, tree, rich text, check box, radio buttons, Next, Cancel.
    const int forward[] = {26, 1, 3, 5, 7, 8, 9, 10, 11, 25};
    for (int key : forward) EXPECT_EQ(AssistiveView::PressKey(shown.page, VK_TAB, false, id(key)), id(key)) << key;
    for (int i = static_cast<int>(std::size(forward)) - 2; i >= -1; --i) {
        HWND want = id(forward[(i + std::size(forward)) % std::size(forward)]);
        EXPECT_EQ(AssistiveView::PressKey(shown.page, VK_TAB, true, want), want) << i;
    }

    // Inputs named by the labels before them, placeholders and plain pictures
    // decorative, pictures that act as buttons named by what they do.
    const Expected graphic = {nullptr, ROLE_SYSTEM_GRAPHIC};
    ExpectNamesAndRoles(shown.page, 27,
                        {{1, {L"Your name:", ROLE_SYSTEM_TEXT}}, {3, {L"Edition:", 0}}, {5, {L"Parts:", 0}},
                         {7, {L"Notes:", 0}}, {13, graphic}, {14, graphic}, {15, graphic}, {16, graphic},
                         {17, graphic}, {19, {L"Copying:", 0}}, {20, {L"Back", ROLE_SYSTEM_PUSHBUTTON}},
                         {21, {L"Next", ROLE_SYSTEM_PUSHBUTTON}}, {22, {L"Browse", ROLE_SYSTEM_PUSHBUTTON}},
                         {23, graphic}, {24, {L"Website", ROLE_SYSTEM_LINK}}});
}
