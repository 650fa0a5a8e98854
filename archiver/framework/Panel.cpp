#include "Panel.h"

TPanel::TPanel(TComponent* Owner, TWinControl* Parent) : TWinControl(Owner, Parent) {
    RegisterWindowClass(L"TPanel");
    CreateHandle(L"TPanel", WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
}

LRESULT TPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(Handle(), &paint);
        RECT client{};
        ::GetClientRect(Handle(), &client);
        ::FillRect(dc, &client, BackgroundBrush());
        ::DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
        ::EndPaint(Handle(), &paint);
        return 0;
    }
    }
    return TWinControl::WindowProc(message, wParam, lParam);
}
