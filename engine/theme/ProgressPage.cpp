#include "ProgressPage.h"

#include "../controls/InputControls.h"
#include "../framework/Accessible.h"
#include "../product/LanguageText.h"
#include "ImageWindow.h"

namespace {
constexpr UINT kPageTimerMs = 300;
}  // namespace

void CProgressPage::Setup() {
    m_page.EnableNamed("IDC_NEXT", false);
    m_page.EnableNamed("IDC_BACK", false);
    m_page.Invalidate();
    ForgetTargets();
    const int bar = m_page.FindControlByName("IDC_PROGRESS1");
    // Only a real progress bar can take the bar's messages.
    m_bar = dynamic_cast<CMyProgress*>(m_page.ControlObject(m_page.FindRecordByWindowId(bar)));
    if (m_bar != nullptr) m_barPoolIndex = m_page.FindPoolIndex(bar);
    m_infoWindowId = m_page.FindControlByName("IDC_INFO");
    m_static1WindowId = m_page.FindControlByName("IDC_STATIC1");
    DescribeTargets();
    m_page.SetTimer(CImageWindow::kPageTimer, kPageTimerMs);
}

void CProgressPage::DescribeTargets() {
    // The status lines are read out as they change; the bar is named by the
    // status line, or the information line without one.
    Annotation annotation;
    HWND status = nullptr;
    for (int windowId : {m_infoWindowId, m_static1WindowId}) {
        CWnd* label = m_page.ControlObject(m_page.FindRecordByWindowId(windowId));
        if (label == nullptr || label->m_hWnd == nullptr) continue;
        annotation.LiveRegion(*label);
        status = label->m_hWnd;
    }
    if (m_bar != nullptr && status != nullptr) annotation.NameFrom(*m_bar, status);
}

void CProgressPage::ForgetTargets() {
    m_bar = nullptr;
    m_barPoolIndex = m_infoWindowId = m_static1WindowId = -1;
}

void CProgressPage::ShowStatusText(const std::string& text, StatusTarget target) {
    const int windowId = target == kInfoText ? m_infoWindowId : m_static1WindowId;
    m_page.SetControlText(windowId, ExpandTextTokens(text));
    if (windowId >= 0) NotifyLiveRegionChanged(::GetDlgItem(m_page.m_hWnd, windowId));
    m_page.Invalidate();
}

void CProgressPage::SetProgressRange(int total) {
    if (m_bar != nullptr) m_bar->SetRange(total);
}

void CProgressPage::SetProgressPosition(int position) {
    if (m_bar != nullptr) m_bar->SetPos(position);
}

void CProgressPage::EnableCancel() { m_page.EnableNamed("IDCANCEL", true); }

void CProgressPage::ShowCompletion() {
    m_completed = true;
    const int cancel = m_page.FindControlByName("IDCANCEL");
    // Its clicks never arrive past the last identifier that reports them.
    if (cancel < 0 || cancel > CImageWindow::kLastClickId) m_page.ModifyStyle(0, WS_SYSMENU, SWP_FRAMECHANGED);
    if (cancel < 0) return;
    m_page.EnableNamed("IDCANCEL", true);
    ::SetDlgItemTextA(m_page.m_hWnd, cancel, ExpandTextTokens(ReadLanguageText("SetupCompleteSuccess", "1")).c_str());
    ShowStatusText(ExpandTextTokens(ReadLanguageText("SetupCompleteSuccess", "5")), kStatic1Text);
    // The closing button is what the user wants now.
    m_page.FocusControl(::GetDlgItem(m_page.m_hWnd, cancel));
}
