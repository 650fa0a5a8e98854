#include "Dialog.h"

BOOL CDialog::CreateIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent) {
    HWND hwnd = nullptr;
    {
        CreationScope scope(this);
        hwnd = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), dialogTemplate, parent, DialogProc, 0);
    }
    if (hwnd == nullptr) m_hWnd = nullptr;
    return hwnd != nullptr;
}

bool CDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    return ::IsDialogMessageA(m_hWnd, msg) != FALSE;
}

// The object's WindowProc sees every message first; the dialog procedure only
// lets the focus go to the first control.
INT_PTR CALLBACK CDialog::DialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
