#include "MyButton.h"

#include "../framework/FocusCues.h"
#include "../framework/HighContrast.h"

void CMyButton::SetTextFont(const LOGFONTA& description) {
    m_font.Reset(::CreateFontIndirectA(&description));
    SetFont(m_font);
}

void CMyButton::SetBackColor(COLORREF color) {
    m_brush.Reset(::CreateSolidBrush(color));
    Invalidate();
}

bool CMyButton::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message == WM_NOTIFY) return SkipHiddenFocusCue(m_hWnd, lParam, result);
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC || !m_brush || HighContrastOn()) return false;
    *result = reinterpret_cast<LRESULT>(m_brush.Get());
    return true;
}

void CPushButton::ApplyRow(const AppliedRow& row, const PageLends& page) {
    // "Text Align" is read and has no effect on a push button.
    if (row.property == "Caption") SetWindowText(page.expandText(row.value).c_str());
    if (row.property == kFontStep) SetTextFont(FontFromRows(row.rows, row.row, page.dpi));
}

void CPushButton::ApplyIdentifier(const std::string& identifier, const PageLends& page) {
    if (identifier == "IDC_NEXT") ModifyStyle(0, BS_DEFPUSHBUTTON, SWP_FRAMECHANGED);
    if (page.pageIndex == 0 && identifier == "IDC_BACK") EnableWindow(FALSE);
    if (page.pageIndex >= page.pageCount - 1 && (identifier == "IDC_BACK" || identifier == "IDCANCEL"))
        EnableWindow(FALSE);
}

void CGroupBox::ApplyRow(const AppliedRow& row, const PageLends&) {
    if (row.property == "Caption") SetWindowText(row.value.c_str());
    if (row.property == "BackColor") ApplyBackColorRow(row.value);
}

void CGroupBox::ApplyColor(const std::string& value, int which) {
    if (which == 0) return;
    SetBackColor(ThemeFile::ResolvedColor(value));
    Invalidate();
}
