#include "PathDialogSub.h"

#include <string>

#include "PathDialog.h"

LRESULT CPathDialogSub::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        if (LOWORD(wParam) == CPathDialog::kPathEditId && HIWORD(wParam) == EN_CHANGE) {
            OnPathChanged();
            return 0;
        }
        // The button, Enter in the dialog and the accelerator all arrive as IDOK.
        if (LOWORD(wParam) == IDOK) {
            OnOk();
            return 0;
        }
    }
    return DefaultProc(message, wParam, lParam);
}

HWND CPathDialogSub::PathEdit() const { return ::GetDlgItem(m_hWnd, CPathDialog::kPathEditId); }

void CPathDialogSub::OnPathChanged() {
    HWND edit = PathEdit();
    ::GetWindowTextA(edit, m_chooser.m_chosenPath, sizeof m_chooser.m_chosenPath);
    ::SendMessageA(m_hWnd, BFFM_ENABLEOK, 0, ::GetWindowTextLengthA(edit) > 0 ? TRUE : FALSE);
}

void CPathDialogSub::OnOk() {
    // Read whole: a text longer than the chosen path's buffer is refused as invalid
    // instead of being cut to a different folder.
    HWND edit = PathEdit();
    std::string typed(static_cast<size_t>(::GetWindowTextLengthA(edit)), '\0');
    typed.resize(static_cast<size_t>(::GetWindowTextA(edit, typed.data(), static_cast<int>(typed.size()) + 1)));
    if (m_chooser.ValidateFolder(typed.c_str()) != 0) {
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        return;
    }
    ::lstrcpynA(m_chooser.m_chosenPath, typed.c_str(), sizeof m_chooser.m_chosenPath);
    m_chooser.m_accepted = true;
    ::EndDialog(m_hWnd, IDOK);
}
