#pragma once
#include "Wnd.h"

// A modeless dialog made from a template in memory. Its messages reach
// WindowProc like any window's; what it leaves goes to the platform's dialog
// procedure. Tab, arrows and mnemonics move between its controls as in any dialog.
class CDialog : public CWnd {
public:
    BOOL CreateIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent);
    bool PreTranslateMessage(MSG* msg) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM);
};
