#include "NewLabel.h"

#include <string>

#include "../framework/HighContrast.h"
#include "../framework/SystemMetrics.h"

CNewLabel::CNewLabel()
    : m_backColor(::GetSysColor(COLOR_BTNFACE)), m_backBrush(::CreateSolidBrush(m_backColor)) {}

void CNewLabel::TakePageFont(std::shared_ptr<FontHandle> pageFont) {
    m_font = std::move(pageFont);
    if (!m_font || !*m_font) return;
    LOGFONTA description{};
    if (::GetObjectA(m_font->Get(), sizeof description, &description) != 0) {
        m_description = description;
        m_haveDescription = true;
    }
    SetFont(m_font->Get());
}

void CNewLabel::SetTextFont(const LOGFONTA& description) {
    LOGFONTA font = description;
    font.lfUnderline = m_linked;
    UseFont(font);
}

void CNewLabel::UseFont(const LOGFONTA& description) {
    m_description = description;
    m_haveDescription = true;
    m_font = std::make_shared<FontHandle>(::CreateFontIndirectA(&description));
    SetFont(m_font->Get());
}

void CNewLabel::SetLink(bool on) {
    // A label that never had a font of its own starts from the status-bar font.
    LOGFONTA description = m_haveDescription ? m_description : StatusBarFont();
    description.lfUnderline = on;
    m_linked = on;
    if (on) m_textColor = RGB(0, 0, 255);
    UseFont(description);
    Invalidate();
}

void CNewLabel::SetAlign(std::string_view word) {
    if (word == "Left") m_textFormat = kLeft;
    if (word == "Center") m_textFormat = kCenter;
    if (word == "Right") m_textFormat = kRight;
    Invalidate();
}

void CNewLabel::SetBackColor(COLORREF color, bool fill) {
    m_fillFlag = fill ? 1 : 0;
    m_backColor = color;
    m_backBrush.Reset(::CreateSolidBrush(m_backColor));
    Invalidate();
}

void CNewLabel::SetTextColor(COLORREF color) {
    m_textColor = color;
    Invalidate();
}

void CNewLabel::UsePageFont(FontUse use, const PageLends& page) {
    if (use == FontUse::TakePageFont)
        TakePageFont(page.pageFont);
    else
        CPageControl::UsePageFont(use, page);
}

void CNewLabel::OnCreated(const ControlType& type) {
    if (type.backColor != nullptr) {
        const ThemeFile::Background back = ThemeFile::LabelBackground(type.backColor);
        SetBackColor(back.color, back.filled);
    }
    if (type.align != nullptr) SetAlign(type.align);
}

void CNewLabel::SetBackColorValue(const std::string& value) {
    const ThemeFile::Background back = ThemeFile::LabelBackground(ThemeFile::ResolveColorText(value));
    SetBackColor(back.color, back.filled);
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
    PaintDC dc(m_hWnd);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    int length = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(m_hWnd, text.data(), length + 1)));
    SelectedObject font(dc, m_font && *m_font ? m_font->Get() : nullptr);
    // In high contrast the label is opaque, whatever lies beneath it.
    const bool contrast = HighContrastOn();
    if (contrast) {
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    } else if (m_fillFlag == 1) {
        ::SetBkColor(dc, m_backColor);
        ::FillRect(dc, &client, m_backBrush);
    }
    // Transparent text keeps the page's background around the letters.
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, contrast ? ::GetSysColor(m_linked ? COLOR_HOTLIGHT : COLOR_WINDOWTEXT) : m_textColor);
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &client, m_textFormat);
}

void CTextLabel::ApplyRow(const AppliedRow& row, const PageLends& page) {
    static const char* const kAlignments[] = {"Center", "Left", "Right"};
    if (row.property == kFontStep) {
        SetTextFont(FontFromRows(row.rows, row.row, page.dpi));
    } else if (row.property == "Caption") {
        SetWindowText(page.expandProduct(row.value).c_str());
        Invalidate();
    } else if (row.property == "Text Align") {
        const int digit = ThemeFile::FirstDigit(row.value);
        if (digit < 3) SetAlign(kAlignments[digit]);
        Invalidate();
    } else if (row.property == "Text Color") {
        ApplyColor(row.value, 0);
    } else if (row.property == "BackColor") {
        ApplyBackColorRow(row.value);
    } else if (row.property == "URL Link") {
        // A link is blue, and says so in its text colour's row.
        SetLink(row.value == "Yes");
        if (row.value == "Yes") row.rows[kTextColorRow].value = "0,0,255";
    }
}

void CTextLabel::Describe(Annotation& annotation, const PageContext&) {
    if (Linked()) annotation.Role(*this, ROLE_SYSTEM_LINK);
}

void CTextLabel::ApplyColor(const std::string& value, int which) {
    if (which != 0) {
        SetBackColorValue(value);
        return;
    }
    SetTextColor(ThemeFile::ResolvedColor(value));
    Invalidate();
}

void CRectLabel::ApplyRow(const AppliedRow& row, const PageLends&) {
    if (row.property == "BackColor") ApplyBackColorRow(row.value);
}

void CRectLabel::ApplyColor(const std::string& value, int which) {
    if (which != 0) SetBackColorValue(value);
}

void CAnimationLabel::ApplyRow(const AppliedRow& row, const PageLends&) {
    if (row.property == "Style:") SetBorderByDigit(*this, row.value);
}

void CListViewLabel::ApplyRow(const AppliedRow& row, const PageLends&) {
    if (row.property != "Style") return;
    SetBorderByDigit(*this, row.value);
    Invalidate();
}
