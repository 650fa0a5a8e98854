#include "MyRadioButton.h"

void CMyRadioButton::SetBackColor(COLORREF color) {
    m_backColor = color;
    m_brush.Reset();
    Invalidate();
}

void CMyRadioButton::OnCreated(const ControlType& type) {
    if (type.buttonStyle != 0) SetButtonStyle(type.buttonStyle);
}

void CMyRadioButton::ApplyRow(const AppliedRow& row, const PageLends&) {
    if (row.property == "Text") SetWindowText(row.value.c_str());
    if (row.property == "BackColor") ApplyBackColorRow(row.value);
}

void CMyRadioButton::ApplyColor(const std::string& value, int which) {
    if (which == 0) return;
    SetBackColor(ThemeFile::ResolvedColor(value));
    Invalidate();
}

bool CMyRadioButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC) return false;
    if (!m_brush) m_brush.Reset(::CreateSolidBrush(m_backColor));
    ::SetBkColor(reinterpret_cast<HDC>(wParam), m_backColor);
    *result = reinterpret_cast<LRESULT>(m_brush.Get());
    return true;
}
