#include "ControlTypes.h"

#include <commctrl.h>

#include "InputControls.h"
#include "MyButton.h"
#include "MyEdge.h"
#include "MyRadioButton.h"
#include "MyStatic.h"
#include "NewLabel.h"

namespace {
template <class T>
std::unique_ptr<CPageControl> Make() {
    return std::make_unique<T>();
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

constexpr LoadStep kButtonSteps[] = {{"identifier", 0}, {"Caption", 1}, {"Text Align", 2}, {"font", 3}};
constexpr LoadStep kRichTextSteps[] = {{"identifier", 0}};
constexpr LoadStep kTextSteps[] = {{"identifier", 0}, {"font", 5},      {"Caption", 1},  {"Text Align", 2},
                                   {"BackColor", 4},  {"Text Color", 3}, {"URL Link", 9}};
constexpr LoadStep kRectSteps[] = {{"BackColor", 1}};
constexpr LoadStep kGroupBoxSteps[] = {{"Caption", 1}, {"BackColor", 2}};
constexpr LoadStep kRadioSteps[] = {{"identifier", 0}, {"Text", 1}, {"BackColor", 2}};
constexpr LoadStep kListViewSteps[] = {{"Style", 2}};
constexpr LoadStep kTextBoxSteps[] = {{"identifier", 0}, {"Text", 1}, {"Password", 2}, {"Read Only", 4}};
constexpr LoadStep kIconSteps[] = {{"Icon File:", 1}, {"BackColor:", 2}};
constexpr LoadStep kBitmapSteps[] = {{"BackColor", 2}};

using K = ControlKind;
using P = ControlPool;
using S = SizeRule;
using F = FontUse;

// clang-format off
const ControlType kTypes[] = {
//  kind         keyword      pool           class              styles                                                   min   size       caption              font             record name          ex style          button style    back colour    align     after  prepare                make                   rows applied
    {K::Button,    "BUTTON",    P::Buttons,    "BUTTON",          kChild | WS_TABSTOP | BS_PUSHBUTTON,                    10, S::Minimum, "Button %i",        F::PageFont,     "IDC_BUTTON%i",    0,                0,              nullptr,       nullptr,  false, nullptr,               Make<CPushButton>,     kButtonSteps},
    {K::Bitmap,    "BITMAP",    P::Pictures,   "STATIC",          kChild | SS_BITMAP | SS_CENTERIMAGE,                     0, S::Picture, nullptr,            F::None,         "IDC_BITMAP%i",    0,                0,              nullptr,       nullptr,  false, nullptr,               Make<CBitmapPicture>,  kBitmapSteps},
    {K::Text,      "TEXT",      P::Texts,      "STATIC",          kChild,                                                  8, S::Minimum, "Text %i",          F::TakePageFont, "IDC_STATIC%i",    0,                0,              nullptr,       nullptr,  false, nullptr,               Make<CTextLabel>,      kTextSteps},
    {K::Rect,      "RECT",      P::Rects,      "STATIC",          kChild,                                                 10, S::Minimum, nullptr,            F::None,         "IDC_RECT%i",      0,                0,              "255,255,255", nullptr,  false, nullptr,               Make<CRectLabel>,      kRectSteps},
    {K::Hover,     "HOVER",     P::Pictures,   "STATIC",          kChild | SS_BITMAP | SS_CENTERIMAGE,                     0, S::Picture, nullptr,            F::None,         "IDC_HOVER%i",     0,                0,              nullptr,       nullptr,  false, nullptr,               Make<CMyStatic>,       {}},
    {K::TextBox,   "TEXTBOX",   P::TextBoxes,  "EDIT",            kChild | WS_TABSTOP | ES_MULTILINE,                     10, S::Minimum, nullptr,            F::PageFont,     "IDC_TEXT%i",      WS_EX_CLIENTEDGE, 0,              nullptr,       nullptr,  false, nullptr,               Make<CEditBox>,        kTextBoxSteps},
    {K::ComboBox,  "COMBOBOX",  P::Combos,     "COMBOBOX",        kChild | CBS_DROPDOWNLIST | CBS_DISABLENOSCROLL,        10, S::Minimum, nullptr,            F::PageFont,     "IDC_COMBO%i",     0,                0,              nullptr,       nullptr,  true,  nullptr,               Make<CMyComboItem>,    {}},
    {K::Radio,     "RADIO",     P::Radios,     "BUTTON",          kChild | WS_TABSTOP | BS_OWNERDRAW,                     10, S::Minimum, "Radio %i",         F::PageFont,     "IDC_RADIO%i",     0,                BS_RADIOBUTTON, nullptr,       nullptr,  false, nullptr,               Make<CMyRadioButton>,  kRadioSteps},
    {K::Hotspot,   "HOTSPOT",   P::Hotspots,   "STATIC",          kChild | WS_BORDER,                                     10, S::Minimum, nullptr,            F::None,         "IDC_HOTSPOT%i",   0,                0,              nullptr,       nullptr,  false, nullptr,               Make<CNewLabel>,       {}},
    {K::Animation, "ANIMATION", P::Animations, "STATIC",          kChild | WS_BORDER,                                      8, S::Minimum, "Animation Box %i", F::PageFont,     "IDC_ANIMATION%i", 0,                0,              nullptr,       "Center", false, nullptr,               Make<CAnimationLabel>, {}},
    {K::Progress,  "PROGRESS",  P::Progress,   PROGRESS_CLASSA,   kChild,                                                  8, S::Minimum, nullptr,            F::None,         "IDC_PROGRESS%i",  0,                0,              nullptr,       nullptr,  false, PrepareCommonControls, Make<CMyProgress>,     {}},
    {K::ListView,  "LISTVIEW",  P::ListViews,  "STATIC",          kChild,                                                  8, S::Minimum, "ListView%i",       F::None,         "IDC_LISTVIEW%i",  WS_EX_CLIENTEDGE, 0,              "255,255,255", nullptr,  false, nullptr,               Make<CListViewLabel>,  kListViewSteps},
    {K::GroupBox,  "GROUPBOX",  P::GroupBoxes, "BUTTON",          kChild | BS_GROUPBOX,                                   10, S::Minimum, "GroupBox %i",      F::PageFont,     "IDC_GROUPBOX%i",  0,                0,              nullptr,       nullptr,  false, nullptr,               Make<CGroupBox>,       kGroupBoxSteps},
    {K::Icon,      "ICON",      P::Icons,      "STATIC",          kChild | SS_ICON | SS_CENTERIMAGE,                       0, S::Icon32,  nullptr,            F::None,         "IDC_ICON%i",      0,                0,              nullptr,       nullptr,  false, nullptr,               Make<CIconPicture>,    kIconSteps},
    {K::TreeView,  "TREEVIEW",  P::Trees,      WC_TREEVIEWA,      kChild | TVS_HASLINES,                                   8, S::Minimum, nullptr,            F::PageFont,     "IDC_TREEVIEW%i",  WS_EX_CLIENTEDGE, 0,              nullptr,       nullptr,  false, PrepareCommonControls, Make<CMyTreeView>,     {}},
    {K::Frame,     "FRAME",     P::Frames,     "STATIC",          kChild,                                                  8, S::Minimum, nullptr,            F::None,         "IDC_FRAME%i",     0,                0,              nullptr,       nullptr,  false, nullptr,               Make<CMyEdge>,         {}},
    {K::RichText,  "RICHTEXT",  P::RichTexts,  "RichEdit20A",     kChild | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN,     10, S::Minimum, nullptr,            F::None,         "IDC_RICHTEXT%i",  WS_EX_CLIENTEDGE, 0,              nullptr,       nullptr,  false, PrepareRichEdit,       Make<CMyRichText>,     kRichTextSteps},
    {K::CheckBox,  "CHECKBOX",  P::CheckBoxes, "BUTTON",          kChild,                                                 10, S::Minimum, "CheckBox%i",       F::PageFont,     "IDC_CHECKBOX%i",  0,                BS_CHECKBOX,    nullptr,       nullptr,  false, nullptr,               Make<CMyRadioButton>,  kRadioSteps},
};
// clang-format on
static_assert(std::size(kTypes) == static_cast<size_t>(ControlKind::Count));
}  // namespace

const ControlType& ControlTypeOf(ControlKind kind) { return kTypes[static_cast<size_t>(kind)]; }

const ControlType* FindControlType(std::string_view keyword) {
    for (const ControlType& type : kTypes)
        if (keyword == type.keyword) return &type;
    return nullptr;
}
