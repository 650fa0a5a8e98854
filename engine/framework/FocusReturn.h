#pragma once
#include <windows.h>

// The keyboard focus of the calling thread, given back when the scope ends: a
// dialog or message box shown meanwhile takes it, and the control that opened
// it has it again afterwards, if it can still take it.
class FocusReturn {
public:
    FocusReturn() : m_focus(::GetFocus()) {}
    ~FocusReturn() {
        if (m_focus != nullptr && ::IsWindow(m_focus) && ::IsWindowVisible(m_focus) && ::IsWindowEnabled(m_focus))
            ::SetFocus(m_focus);
    }
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    HWND m_focus;
};
