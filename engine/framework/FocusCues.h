#pragma once
#include <windows.h>
#include <commctrl.h>

// Whether a control shows its focus cue: the window it lies on keeps the cue
// state and answers for its controls, since Wine keeps none for a control.
inline bool FocusCuesHidden(HWND control) {
    HWND holder = ::GetParent(control);
    if (holder == nullptr) holder = control;
    return (::SendMessageA(holder, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
}

// The custom-draw answer of a system-drawn button: no focus rectangle while
// the cues are hidden. False when the notification is another.
inline bool SkipHiddenFocusCue(HWND control, LPARAM lParam, LRESULT* result) {
    const auto* draw = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
    if (draw == nullptr || draw->hdr.code != NM_CUSTOMDRAW || draw->dwDrawStage != CDDS_PREPAINT) return false;
    if (!FocusCuesHidden(control)) return false;
    *result = CDRF_SKIPPOSTPAINT;
    return true;
}
