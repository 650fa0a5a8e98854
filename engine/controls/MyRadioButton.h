#pragma once
#include "../framework/Controls.h"
#include "../framework/GdiObject.h"

// Radio buttons and check boxes of a page: system-drawn on a background of the
// theme's colour (black until the page sets one).
class CMyRadioButton : public CButton {
public:
    void SetBackColor(COLORREF color);
    COLORREF BackColor() const { return m_backColor; }

protected:
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    COLORREF m_backColor = RGB(0, 0, 0);
    // One brush per colour, made at the first request after a change.
    BrushHandle m_brush;
};
