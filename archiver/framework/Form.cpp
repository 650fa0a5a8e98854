#include "Form.h"

TForm::TForm(TComponent* Owner, const wchar_t* className, int clientWidth, int clientHeight,
             TBorderIcons borderIcons, TColor color, const TFont& font)
    : TWinControl(Owner, nullptr) {
    // The title bar's buttons exist only with the system menu; without it the
    // window has neither a close button nor the minimise box the icons ask for.
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
    if (borderIcons.Contains(TBorderIcon::biSystemMenu)) style |= WS_SYSMENU;
    if (borderIcons.Contains(TBorderIcon::biMinimize)) style |= WS_MINIMIZEBOX;
    if (borderIcons.Contains(TBorderIcon::biMaximize)) style |= WS_MAXIMIZEBOX;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    RegisterWindowClass(className);
    SetColor(color);
    SetFont(font);
    CreateHandle(className, style, exStyle);

    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetBounds((::GetSystemMetrics(SM_CXSCREEN) - width) / 2, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width,
              height);
}

void TForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TForm::Show() {
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    ::UpdateWindow(Handle());
}

LRESULT TForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return EraseBackground(reinterpret_cast<HDC>(wParam));
    return TWinControl::WindowProc(message, wParam, lParam);
}

void TForm::Hide() { ::ShowWindow(Handle(), SW_HIDE); }
