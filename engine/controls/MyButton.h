#pragma once
#include "../framework/Controls.h"
#include "../framework/GdiObject.h"

// Push buttons and group boxes of a page: the system draws them; the theme may
// give them a font and a background brush of their own.
class CMyButton : public CButton {
public:
    void SetTextFont(const LOGFONTA& description);
    void SetBackColor(COLORREF color);
    HBRUSH BackBrush() const { return m_brush; }
    HFONT TextFont() const { return m_font; }

protected:
    // Without a brush of its own the system's colours stand.
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    FontHandle m_font;
    BrushHandle m_brush;
};
