#pragma once
#include <memory>
#include <string_view>

#include "../framework/Accessible.h"
#include "../framework/Controls.h"
#include "../framework/GdiObject.h"
#include "PageControl.h"

// A self-painted label: its window text in its own font and colour,
// optionally over a filled background, and optionally with the look of a link.
// In high contrast it is the system's window text on the window colour.
// A HOTSPOT is one as created: empty, with a thin border, taking no rows.
class CNewLabel : public PageControlOn<CStatic> {
public:
    static constexpr UINT kLeft = DT_WORDBREAK | DT_LEFT;
    static constexpr UINT kCenter = DT_WORDBREAK | DT_CENTER;
    static constexpr UINT kRight = DT_WORDBREAK | DT_RIGHT;

    CNewLabel();

    // The page font becomes the label's font; the label shares it.
    void TakePageFont(std::shared_ptr<FontHandle> pageFont);
    // Underlined while the label is a link.
    void SetTextFont(const LOGFONTA& description);
    // On: underlined and blue; off: not underlined, colour kept.
    void SetLink(bool on);
    // "Left", "Center" or "Right" exactly; any other word changes nothing.
    void SetAlign(std::string_view word);
    // Without fill the label's text lies on what is beneath it.
    void SetBackColor(COLORREF color, bool fill);
    void SetTextColor(COLORREF color);

    bool Linked() const { return m_linked; }
    int FillFlag() const { return m_fillFlag; }
    UINT TextFormat() const { return m_textFormat; }
    COLORREF TextColor() const { return m_textColor; }
    COLORREF BackColor() const { return m_backColor; }
    HFONT CurrentFont() const { return m_font ? m_font->Get() : nullptr; }

    void UsePageFont(FontUse use, const PageLends& page) override;
    // The background and alignment its type starts with.
    void OnCreated(const ControlType& type) override;
    // A HOTSPOT: a button named by what a click on it does, or decorative.
    void Describe(Annotation& annotation, const PageContext& page) override { DescribePicture(annotation, page); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A colour value as the page writes it: the button-face triple itself does not fill.
    void SetBackColorValue(const std::string& value);

private:
    void UseFont(const LOGFONTA& description);
    void OnPaint();

    bool m_linked = false;
    LOGFONTA m_description{};
    bool m_haveDescription = false;
    std::shared_ptr<FontHandle> m_font;
    COLORREF m_textColor = RGB(0, 0, 0);
    COLORREF m_backColor;
    BrushHandle m_backBrush;
    int m_fillFlag = 0;
    UINT m_textFormat = 0;
};

// TEXT: a caption with its angle-bracket placeholders replaced, in a font of
// its own, aligned, coloured, over its background, and possibly a link.
class CTextLabel : public CNewLabel {
public:
    void ApplyRow(const AppliedRow& row, const PageLends& page) override;
    void ApplyColor(const std::string& value, int which) override;
    bool IsLabel() const override { return ::GetWindowTextLengthA(m_hWnd) > 0; }
    // A link says so; other texts are what the system says they are.
    void Describe(Annotation& annotation, const PageContext& page) override;

private:
    static constexpr int kTextColorRow = 3;  // the row of its "Text Color"
};

// RECT: no text, filled with its background colour (white until a row says otherwise).
class CRectLabel : public CNewLabel {
public:
    void ApplyRow(const AppliedRow& row, const PageLends& page) override;
    void Describe(Annotation& annotation, const PageContext&) override { annotation.Decorative(*this); }
    void ApplyColor(const std::string& value, int which) override;
};

// ANIMATION: a bordered, centred label keeping its numbered caption; "Style:"
// takes its border away or gives it one. The caption is a placeholder, not
// content: assistive technology is told it is decorative, as for LISTVIEW.
class CAnimationLabel : public CNewLabel {
public:
    void ApplyRow(const AppliedRow& row, const PageLends& page) override;
    void Describe(Annotation& annotation, const PageContext&) override { annotation.Decorative(*this); }
};

// LISTVIEW: a white label with a sunken edge keeping its numbered caption;
// "Style" takes its thin border away or gives it one.
class CListViewLabel : public CNewLabel {
public:
    void ApplyRow(const AppliedRow& row, const PageLends& page) override;
    void Describe(Annotation& annotation, const PageContext&) override { annotation.Decorative(*this); }
};
