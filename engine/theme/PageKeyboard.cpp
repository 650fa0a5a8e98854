// The page and the keyboard: its own order of the focus, the radio pairs, and
// where the focus goes when a page opens or a focused control is disabled.
#include "../controls/PageControl.h"
#include "ImageWindow.h"
#include "PageHost.h"
#include "ReadingOrder.h"

namespace {
bool Usable(HWND control) { return ::IsWindowVisible(control) && ::IsWindowEnabled(control); }

bool IsArrow(WPARAM key) { return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN; }

bool Held(int key) { return ::GetKeyState(key) < 0; }

// Whether the user's last key or click on a page was a key: a page opened after
// a click, or at the start, shows no focus cue until a key is pressed, as the
// platform decides for dialogs.
bool g_keyboardLast = false;

void NoteInput(const MSG& msg) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
        g_keyboardLast = true;
    else if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN || msg.message == WM_MBUTTONDOWN)
        g_keyboardLast = false;
}
}  // namespace

WPARAM CImageWindow::CuesByLastInput() {
    return MAKEWPARAM(g_keyboardLast ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS);
}

void CImageWindow::NoteCueChange(WPARAM change) {
    const WORD action = LOWORD(change);
    if (!(HIWORD(change) & UISF_HIDEFOCUS) || (action != UIS_SET && action != UIS_CLEAR)) return;
    const bool hidden = action == UIS_SET;
    if (hidden == m_focusCuesHidden) return;
    m_focusCuesHidden = hidden;
    HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(m_hWnd, focus)) ::InvalidateRect(focus, nullptr, TRUE);
}

LRESULT CImageWindow::CueState() {
    const LRESULT system = CDialog::WindowProc(WM_QUERYUISTATE, 0, 0) & ~static_cast<LRESULT>(UISF_HIDEFOCUS);
    return system | (m_focusCuesHidden ? UISF_HIDEFOCUS : 0);
}

std::vector<HWND> CImageWindow::FocusOrder() const {
    std::vector<HWND> order;
    for (int position : ReadingOrder(m_table)) {
        CPageControl* control = PageControl(position);
        if (control == nullptr || !control->TakesFocus()) continue;
        HWND hwnd = control->Control().m_hWnd;
        if (hwnd != nullptr && Usable(hwnd)) order.push_back(hwnd);
    }
    return order;
}

HWND CImageWindow::PageChildOf(HWND window) const {
    for (HWND hwnd = window; hwnd != nullptr; hwnd = ::GetParent(hwnd)) {
        if (hwnd == m_hWnd) return hwnd;
        if (::GetParent(hwnd) == m_hWnd) return hwnd;
        if (!(::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) break;
    }
    return nullptr;
}

void CImageWindow::FocusControl(HWND control, bool byKeyboard) {
    if (control == nullptr) return;
    ::SetFocus(control);
    if (!byKeyboard) return;
    // As the dialog manager does on Tab: a text box shows what it holds selected,
    // and the focus cue shows from the first key on.
    if (control != m_hWnd && (::SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
        ::SendMessageA(control, EM_SETSEL, 0, -1);
    ::SendMessageA(m_hWnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void CImageWindow::FocusFirstControl() {
    // To the page and every control: a control may have been made with a state of its own.
    ::SendMessageA(m_hWnd, WM_UPDATEUISTATE, CuesByLastInput(), 0);
    const int next = FindRecordByWindowId(FindControlByName("IDC_NEXT"));
    CPageControl* nextControl = PageControl(next);
    HWND target = nullptr;
    if (nextControl != nullptr && nextControl->TakesFocus()) {
        HWND hwnd = nextControl->Control().m_hWnd;
        if (hwnd != nullptr && Usable(hwnd)) target = hwnd;
    }
    if (target == nullptr) {
        const std::vector<HWND> order = FocusOrder();
        target = order.empty() ? m_hWnd : order.front();
    }
    FocusControl(target);
}

HWND CImageWindow::FocusRefuge(HWND leaving) const {
    const std::vector<HWND> order = FocusOrder();
    size_t at = 0;
    while (at < order.size() && order[at] != leaving) ++at;
    if (at < order.size() && at > 0) return order[at - 1];
    for (HWND candidate : order)
        if (candidate != leaving) return candidate;
    return m_hWnd;
}

bool CImageWindow::NavigateByKeyboard(const MSG& msg) {
    NoteInput(msg);
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_TAB && !IsArrow(msg.wParam))) return false;
    // Ctrl and Alt combinations stay the controls' and the system's.
    if (Held(VK_CONTROL) || Held(VK_MENU)) return false;
    HWND control = PageChildOf(msg.hwnd);
    if (control == nullptr) return false;
    const bool backwards = msg.wParam == VK_TAB ? Held(VK_SHIFT) : msg.wParam == VK_LEFT || msg.wParam == VK_UP;

    if (IsArrow(msg.wParam) && control != m_hWnd) {
        // A pair's radio button: the arrows reach its partner and press it; nothing else.
        const int position = FindRecordByWindowId(::GetDlgCtrlID(control));
        const std::string partnerName =
            position >= 0 && m_host != nullptr ? m_host->ArrowPartner(m_table[position].identifier) : std::string();
        if (!partnerName.empty()) {
            HWND partner = ::GetDlgItem(m_hWnd, FindControlByName(partnerName));
            if (partner != nullptr && Usable(partner)) {
                FocusControl(partner, true);
                ::SendMessageA(partner, BM_CLICK, 0, 0);
            }
            return true;
        }
        // Text boxes, lists and trees move inside themselves.
        const LRESULT wants = ::SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
        if (wants & (DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
    }

    const std::vector<HWND> order = FocusOrder();
    if (order.empty()) return true;
    size_t at = 0;
    while (at < order.size() && order[at] != control) ++at;
    size_t target = 0;
    if (at == order.size())
        target = backwards ? order.size() - 1 : 0;  // from the page itself, or a control that takes no focus
    else
        target = backwards ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
    FocusControl(order[target], true);
    return true;
}
