#include "Dpi.h"

#include "GdiObject.h"
#include "SystemMetrics.h"

namespace {
// Windows 10 (1607) and later know a DPI per monitor; before, every window has
// the system's, which the screen's device context tells.
template <class Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name));
}

int SystemDpi() {
    ScreenDC screen;
    const int dpi = static_cast<HDC>(screen) != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kDesignDpi;
}
}  // namespace

int WindowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (window != nullptr && getDpiForWindow != nullptr)
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    return SystemDpi();
}

long long DpiScaled(long long designPixels, int dpi) {
    const long long product = designPixels * dpi;
    const long long half = kDesignDpi / 2;
    return (product >= 0 ? product + half : product - half) / kDesignDpi;
}

int CaptionBarHeightAt(int dpi) {
    // The metrics of another DPI exist only in wide form, and only where monitors
    // can differ; at the system's DPI the system's own metrics are the answer.
    using ParametersForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto parametersForDpi = User32Function<ParametersForDpiFunction>("SystemParametersInfoForDpi");
    if (dpi != SystemDpi() && parametersForDpi != nullptr) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (parametersForDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, static_cast<UINT>(dpi)))
            return metrics.iCaptionHeight;
    }
    return CaptionBarHeight();
}

SIZE WindowSizeFor(SIZE client, DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (adjustForDpi == nullptr || !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void LeaveDpiChangesToDialog(HWND dialog) {
    using BehaviorFunction = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    static const auto setBehavior = User32Function<BehaviorFunction>("SetDialogDpiChangeBehavior");
    if (setBehavior != nullptr) setBehavior(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}
