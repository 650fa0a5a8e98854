#pragma once
#include <windows.h>

#include <functional>

// Keeps the keyboard focus on a usable control while controls of a window are
// disabled and enabled again. The system leaves no window with the focus when
// the focused one is disabled; here the focus first moves to the refuge the
// window names, and comes back when the control is enabled again and the user
// has not moved it meanwhile. A refuge disabled in turn hands the focus on;
// it still comes back to the control first left. Only calls on the window's
// own thread can move the focus; from another thread a control is only
// enabled or disabled.
class FocusKeeper {
public:
    // The window where the focus goes from `leaving`: one that stays usable.
    using Refuge = std::function<HWND(HWND leaving)>;
    explicit FocusKeeper(Refuge refuge) : m_refuge(std::move(refuge)) {}

    void Enable(HWND control, bool enable);

private:
    Refuge m_refuge;
    HWND m_left = nullptr;  // the control disabled under the focus
    HWND m_took = nullptr;  // where the focus went meanwhile
};
