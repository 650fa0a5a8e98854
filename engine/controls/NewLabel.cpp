#include "NewLabel.h"

#include "../product/ProductContext.h"
#include "../theme/ThemeFile.h"
#include "../framework/SystemMetrics.h"
#include "../theme/ThemeFont.h"

CNewLabel::CNewLabel()
    : m_backColor(::GetSysColor(COLOR_BTNFACE)), m_backBrush(::CreateSolidBrush(m_backColor)) {}

void CNewLabel::TakePageFont(std::shared_ptr<FontHandle> pageFont) {
    m_font = std::move(pageFont);
    if (!m_font || !*m_font) return;
    LOGFONTA description{};
    if (::GetObjectA(m_font->Get(), sizeof description, &description) != 0) {
        m_description = description;
        m_haveDescription = true;
        m_faceName = description.lfFaceName;
    }
    SetFont(m_font->Get());
}

void CNewLabel::SetTextFont(const std::string& face, int pointSize, int boldFlag, int italicFlag) {
    LOGFONTA description = ThemeFontDescription(face, FontHeightForPoints(pointSize, m_hWnd), boldFlag, italicFlag);
    description.lfUnderline = m_linkFlag == kFlagSet;
    m_faceName = face;
    m_pointSize = pointSize;
    m_boldFlag = boldFlag;
    m_italicFlag = italicFlag;
    UseFont(description);
}

void CNewLabel::UseFont(const LOGFONTA& description) {
    m_description = description;
    m_haveDescription = true;
    m_font = std::make_shared<FontHandle>(::CreateFontIndirectA(&description));
    SetFont(m_font->Get());
}

void CNewLabel::SetLink(int flag) {
    if (flag == kFlagSet || flag == 0) {
        // A label that never had a font of its own starts from the status-bar font.
        LOGFONTA description = m_haveDescription ? m_description : StatusBarFont();
        description.lfUnderline = flag == kFlagSet;
        m_linkFlag = flag;
        if (flag == kFlagSet) m_textColor = RGB(0, 0, 255);
        UseFont(description);
    }
    Invalidate();
}

void CNewLabel::SetAlign(std::string_view word) {
    if (word == "Left") m_textFormat = kLeft;
    if (word == "Center") m_textFormat = kCenter;
    if (word == "Right") m_textFormat = kRight;
    Invalidate();
}

void CNewLabel::SetBackColor(std::string_view colorText) {
    std::string text = colorText.empty() ? std::string("COLOR_BTNFACE") : std::string(colorText);
    m_fillFlag = text != ThemeFile::ButtonFaceText() ? 1 : 0;
    m_backColor = ThemeFile::Color(ThemeFile::ResolveColorText(text));
    m_backBrush.Reset(::CreateSolidBrush(m_backColor));
    Invalidate();
}

void CNewLabel::SetTextColor(COLORREF color) {
    m_textColor = color;
    Invalidate();
}

LRESULT CNewLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        OnPaint();
        return 0;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

void CNewLabel::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    int length = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(m_hWnd, text.data(), length + 1)));
    HGDIOBJ previous = m_font && *m_font ? ::SelectObject(dc, m_font->Get()) : nullptr;
    if (m_fillFlag == 1) {
        ::SetBkColor(dc, m_backColor);
        ::FillRect(dc, &client, m_backBrush);
    }
    // Transparent text keeps the page's background around the letters.
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, m_textColor);
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &client, m_textFormat);
    if (previous != nullptr) ::SelectObject(dc, previous);
    ::EndPaint(m_hWnd, &paint);
}
