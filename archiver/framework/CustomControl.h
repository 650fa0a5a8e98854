#pragma once
#include "Control.h"

// A control of the program's own window class that draws itself in Paint.
class TCustomControl : public TWinControl {
public:
    TCustomControl(TComponent* Owner, TWinControl* Parent, const wchar_t* className, DWORD style, DWORD exStyle = 0);

protected:
    // The whole client area, background included.
    virtual void Paint(HDC dc) = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
