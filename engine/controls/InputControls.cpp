#include "InputControls.h"

#include "../framework/DecimalNumber.h"
#include "../framework/LibraryLoading.h"

namespace {
// Below the closed box of a combo box, as its record covers it.
constexpr int kComboBoxMargin = 9;
}  // namespace

void CEditBox::ApplyIdentifier(const std::string& identifier, const PageLends&) {
    if (identifier == "IDC_SETTINGS") ModifyStyleEx(0, WS_EX_RIGHT | WS_EX_NOPARENTNOTIFY, SWP_FRAMECHANGED);
}

RECT CMyComboItem::Registered(const RECT& rect, int dpi) {
    RECT closed = rect;
    closed.bottom =
        SaturateToInt(static_cast<long long>(rect.top) + GetItemHeight(-1) + ThemeFile::AtDpi(kComboBoxMargin, dpi));
    return closed;
}

void CMyRichText::ApplyColor(const std::string&, int which) {
    if (which != 0) Invalidate();
}

bool PrepareCommonControls() {
    static const bool prepared = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES};
        return ::InitCommonControlsEx(&classes) != FALSE;
    }();
    return prepared;
}

bool PrepareRichEdit() {
    // Loaded for the life of the process: its window class must outlive every page.
    static const bool prepared = LoadSystemLibrary("RICHED20.DLL") != nullptr;
    return prepared;
}
