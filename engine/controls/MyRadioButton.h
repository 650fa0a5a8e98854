#pragma once
#include "../framework/Controls.h"
#include "../framework/GdiObject.h"
#include "PageControl.h"

// Radio buttons and check boxes of a page (RADIO, CHECKBOX): system-drawn,
// with their text as written, on a background of the theme's colour (black
// until the page sets one). In high contrast they draw themselves in the
// system's colours instead, a chosen one with its mark, an unchosen one empty.
// Either way the focus rectangle shows only while the page shows focus cues.
class CMyRadioButton : public PageControlOn<CButton> {
public:
    void SetBackColor(COLORREF color);
    COLORREF BackColor() const { return m_backColor; }

    // Created owner-drawn or plain, then made a button that does not check itself.
    void OnCreated(const ControlType& type) override;
    void ApplyRow(const AppliedRow& row, const PageLends& page) override;
    void ApplyColor(const std::string& value, int which) override;
    bool TakesFocus() const override { return true; }

protected:
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PaintInSystemColors(HDC dc) const;

    COLORREF m_backColor = RGB(0, 0, 0);
    // One brush per colour, made at the first request after a change.
    BrushHandle m_brush;
};
