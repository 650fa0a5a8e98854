// The uninstall progress page ("uninstall.lcd"): its targets, the run's
// reports that need the language file, and its completed state.
#include "../product/LanguageText.h"
#include "ImageWindow.h"

void CImageWindow::SetupProgressPage() {
    EnableNamed("IDC_NEXT", false);
    EnableNamed("IDC_BACK", false);
    Invalidate();
    m_progressPoolIndex = m_infoWindowId = m_static1WindowId = -1;
    // Only a real progress bar can take the bar's messages.
    const int bar = FindControlByName("IDC_PROGRESS1");
    if (bar >= 0 && m_table[FindRecordByWindowId(bar)].type == "PROGRESS") m_progressPoolIndex = FindPoolIndex(bar);
    m_infoWindowId = FindControlByName("IDC_INFO");
    m_static1WindowId = FindControlByName("IDC_STATIC1");
    SetTimer(kPageTimer, 300);
}

void CImageWindow::EnableCancel() { EnableNamed("IDCANCEL", true); }

void CImageWindow::ShowCompletion() {
    m_completed = true;
    const int cancel = FindControlByName("IDCANCEL");
    // Its clicks never arrive past the last identifier that reports them.
    if (cancel < 0 || cancel > kLastClickId) ModifyStyle(0, WS_SYSMENU, SWP_FRAMECHANGED);
    if (cancel < 0) return;
    EnableNamed("IDCANCEL", true);
    ::SetDlgItemTextA(m_hWnd, cancel, ExpandTextTokens(ReadLanguageText("SetupCompleteSuccess", "1")).c_str());
    ShowStatusText(ExpandTextTokens(ReadLanguageText("SetupCompleteSuccess", "5")), kStatic1Text);
}
