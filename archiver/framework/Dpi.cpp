#include "Dpi.h"

namespace {
// Windows 10 (1607) and later know a DPI per monitor; before, every window has the
// system's, which the screen's device context tells.
template <class Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name));
}

int SystemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}
}  // namespace

int DpiOf(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (window != nullptr && getDpiForWindow != nullptr)
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    return SystemDpi();
}

int ScaleToDpi(int designPixels, int dpi) { return ::MulDiv(designPixels, dpi, kDesignDpi); }

TBounds ScaleToDpi(const TBounds& bounds, int dpi) {
    const int left = ScaleToDpi(bounds.Left, dpi);
    const int top = ScaleToDpi(bounds.Top, dpi);
    return {left, top, ScaleToDpi(bounds.Left + bounds.Width, dpi) - left,
            ScaleToDpi(bounds.Top + bounds.Height, dpi) - top};
}

SIZE FrameSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, clientWidth, clientHeight};
    if (adjustForDpi == nullptr || !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}
