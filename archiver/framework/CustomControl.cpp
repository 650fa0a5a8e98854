#include "CustomControl.h"

TCustomControl::TCustomControl(TComponent* Owner, TWinControl* Parent, const wchar_t* className, DWORD style,
                               DWORD exStyle)
    : TWinControl(Owner, Parent) {
    RegisterWindowClass(className);
    CreateHandle(className, style, exStyle);
}

LRESULT TCustomControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;  // Paint covers it all, without flicker
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(Handle(), &paint);
        Paint(dc);
        ::EndPaint(Handle(), &paint);
        return 0;
    }
    }
    return TWinControl::WindowProc(message, wParam, lParam);
}
