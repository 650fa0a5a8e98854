#include "MyButton.h"

void CMyButton::SetTextFont(const LOGFONTA& description) {
    m_font.Reset(::CreateFontIndirectA(&description));
    SetFont(m_font);
}

void CMyButton::SetBackColor(COLORREF color) {
    m_brush.Reset(::CreateSolidBrush(color));
    Invalidate();
}

bool CMyButton::OnChildNotify(UINT message, WPARAM, LPARAM, LRESULT* result) {
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC || !m_brush) return false;
    *result = reinterpret_cast<LRESULT>(m_brush.Get());
    return true;
}
