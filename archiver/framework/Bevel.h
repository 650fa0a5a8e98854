#pragma once
#include "Control.h"

// A framed line: decoration only.
class TBevel : public TWinControl {
public:
    TBevel(TComponent* Owner, TWinControl* Parent) : TWinControl(Owner, Parent) {
        CreateHandle(L"Static", WS_VISIBLE | SS_ETCHEDFRAME);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        // The frame draws its edges only; inside shows the parent's background.
        if (message == WM_ERASEBKGND) return EraseBackground(reinterpret_cast<HDC>(wParam));
        return TWinControl::WindowProc(message, wParam, lParam);
    }
};
