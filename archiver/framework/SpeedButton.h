#pragma once
#include <memory>

#include "Control.h"
#include "Form.h"
#include "ScaledPicture.h"

// A flat push button that draws itself: its caption in the font's colour with a
// small picture to the right, the hand cursor over it, a raised edge while the
// mouse is over it and a sunken one while pressed. It is a real button window
// with its caption as window text, so Tab, Space and automation reach it.
class TSpeedButton : public TWinControl {
public:
    TSpeedButton(TComponent* Owner, TWinControl* Parent);

    // Square pictures side by side in one strip, magenta where see-through, at
    // 96 dpi: the button shows the index'th scaled to its DPI.
    void SetGlyph(const std::shared_ptr<TBitmap>& strip, int index);

    TNotifyEvent OnClick;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool Notified(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Paint(const DRAWITEMSTRUCT& item);
    void SetHot(bool hot);

    TScaledPicture m_glyph;
    int m_glyphSize = 0;  // at 96 dpi
    bool m_hot = false;
};
