#pragma once
#include "../framework/Wnd.h"

class CPathDialog;

// Sits on the running browse dialog: OK accepts only a typed path that passes the
// folder checks, and the edit box's text is followed as the user types.
class CPathDialogSub : public CWnd {
public:
    explicit CPathDialogSub(CPathDialog& chooser) : m_chooser(chooser) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPathChanged();
    void OnOk();
    HWND PathEdit() const;

    CPathDialog& m_chooser;
};
