#include "MyRadioButton.h"

void CMyRadioButton::SetBackColor(COLORREF color) {
    m_backColor = color;
    m_brush.Reset();
    Invalidate();
}

bool CMyRadioButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC) return false;
    if (!m_brush) m_brush.Reset(::CreateSolidBrush(m_backColor));
    ::SetBkColor(reinterpret_cast<HDC>(wParam), m_backColor);
    *result = reinterpret_cast<LRESULT>(m_brush.Get());
    return true;
}
