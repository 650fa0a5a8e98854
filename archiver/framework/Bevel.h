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
        if (message == WM_ERASEBKGND) {
            RECT client{};
            ::GetClientRect(Handle(), &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundBrush());
            return 1;
        }
        return TWinControl::WindowProc(message, wParam, lParam);
    }
};
