#include "MyButton.h"

#include "../theme/ThemeFile.h"
#include "../theme/ThemeFont.h"

void CMyButton::SetTextFont(const std::string& face, int pointSize, int boldFlag, int italicFlag) {
    LOGFONTA description = ThemeFontDescription(face, FontHeightForPoints(pointSize, m_hWnd), boldFlag, italicFlag);
    m_font.Reset(::CreateFontIndirectA(&description));
    SetFont(m_font);
}

void CMyButton::SetBackColor(const std::string& colorText) {
    m_brush.Reset(::CreateSolidBrush(ThemeFile::Color(colorText)));
    Invalidate();
}

bool CMyButton::OnChildNotify(UINT message, WPARAM, LPARAM, LRESULT* result) {
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC || !m_brush) return false;
    *result = reinterpret_cast<LRESULT>(m_brush.Get());
    return true;
}
