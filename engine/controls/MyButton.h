#pragma once
#include "../framework/Controls.h"
#include "../framework/GdiObject.h"
#include "PageControl.h"

// Push buttons and group boxes of a page: the system draws them, the focus
// rectangle only while the page shows focus cues; the theme may give them a
// font and a background brush of their own.
class CMyButton : public PageControlOn<CButton> {
public:
    void SetTextFont(const LOGFONTA& description);
    void SetBackColor(COLORREF color);
    HBRUSH BackBrush() const { return m_brush; }
    HFONT TextFont() const { return m_font; }

protected:
    // Without a brush of its own, or in high contrast, the system's colours stand;
    // custom draw leaves the focus rectangle out while the cues are hidden.
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    FontHandle m_font;
    BrushHandle m_brush;
};

// BUTTON: a caption with placeholders in either bracket form, a font of its
// own, and the wizard's buttons made default or disabled by their names.
class CPushButton : public CMyButton {
public:
    void ApplyRow(const AppliedRow& row, const PageLends& page) override;
    void ApplyIdentifier(const std::string& identifier, const PageLends& page) override;
    bool TakesFocus() const override { return true; }
};

// GROUPBOX: a caption as written, on a background of the theme's colour.
class CGroupBox : public CMyButton {
public:
    void ApplyRow(const AppliedRow& row, const PageLends& page) override;
    void ApplyColor(const std::string& value, int which) override;
};
