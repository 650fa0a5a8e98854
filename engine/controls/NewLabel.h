#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "../framework/Controls.h"
#include "../framework/GdiObject.h"

// A self-painted label (TEXT, RECT, HOTSPOT, ANIMATION, LISTVIEW): its window
// text in its own font and colour, optionally over a filled background, and
// optionally with the look of a link.
class CNewLabel : public CStatic {
public:
    static constexpr UINT kLeft = DT_WORDBREAK | DT_LEFT;
    static constexpr UINT kCenter = DT_WORDBREAK | DT_CENTER;
    static constexpr UINT kRight = DT_WORDBREAK | DT_RIGHT;

    CNewLabel();

    // The page font becomes the label's font; the label shares it.
    void TakePageFont(std::shared_ptr<FontHandle> pageFont);
    void SetTextFont(const std::string& face, int pointSize, int boldFlag, int italicFlag);
    // 255: underlined and blue; 0: not underlined, colour kept; else a repaint.
    void SetLink(int flag);
    // "Left", "Center" or "Right" exactly; any other word changes nothing.
    void SetAlign(std::string_view word);
    // Fills the background unless the colour is the button-face triple itself.
    void SetBackColor(std::string_view colorText);
    void SetTextColor(COLORREF color);

    int LinkFlag() const { return m_linkFlag; }
    int FillFlag() const { return m_fillFlag; }
    UINT TextFormat() const { return m_textFormat; }
    COLORREF TextColor() const { return m_textColor; }
    COLORREF BackColor() const { return m_backColor; }
    HFONT CurrentFont() const { return m_font ? m_font->Get() : nullptr; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void UseFont(const LOGFONTA& description);
    void OnPaint();

    std::string m_faceName;
    int m_pointSize = 0;
    int m_boldFlag = 0;
    int m_italicFlag = 0;
    int m_linkFlag = 0;
    LOGFONTA m_description{};
    bool m_haveDescription = false;
    std::shared_ptr<FontHandle> m_font;
    COLORREF m_textColor = RGB(0, 0, 0);
    COLORREF m_backColor;
    BrushHandle m_backBrush;
    int m_fillFlag = 0;
    UINT m_textFormat = 0;
};
