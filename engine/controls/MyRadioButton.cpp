#include "MyRadioButton.h"

#include "../theme/ThemeFile.h"

void CMyRadioButton::SetBackColor(const std::string& colorText) {
    m_backColor = ThemeFile::Color(colorText);
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
