#include "FocusKeeper.h"

namespace {
bool HoldsFocus(HWND control) {
    HWND focus = ::GetFocus();
    return focus != nullptr && (focus == control || ::IsChild(control, focus));
}
}  // namespace

void FocusKeeper::Enable(HWND control, bool enable) {
    if (control == nullptr) return;
    const bool ownThread = ::GetWindowThreadProcessId(control, nullptr) == ::GetCurrentThreadId();
    if (!enable && ownThread && HoldsFocus(control)) {
        // A refuge disabled in turn passes the focus on; it still returns to the first control.
        if (m_left == nullptr || control != m_took) m_left = control;
        m_took = m_refuge(control);
        ::SetFocus(m_took);
    }
    ::EnableWindow(control, enable);
    if (enable && ownThread && control == m_left) {
        if (::GetFocus() == m_took) ::SetFocus(control);
        m_left = m_took = nullptr;
    }
}
