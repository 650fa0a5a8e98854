#pragma once
#include <windows.h>

// Pages are laid out for 96 dots per inch and grow with the DPI of the monitor
// they are on; at 96 every measure is the theme's own.
constexpr int kDesignDpi = 96;

// The DPI of the monitor the window is on; without a window, or before Windows
// 10 (1607), the system's.
int WindowDpi(HWND window);
// A measure made for 96 dpi at another DPI, rounded as MulDiv rounds (halves
// away from zero), but exact where MulDiv would overflow: the caller decides
// how a result beyond int is kept.
long long DpiScaled(long long designPixels, int dpi);
// The caption bar's height as the system draws it at that DPI (without the
// border line SM_CYCAPTION adds).
int CaptionBarHeightAt(int dpi);
// The outer size of a window of those styles around a client area, with the
// frame's measures at that DPI.
SIZE WindowSizeFor(SIZE client, DWORD style, DWORD exStyle, int dpi);
// A dialog that lays itself out again when its DPI changes: the dialog manager's
// own scaling of dialogs (Windows 10 1703 and later) is turned off for it.
void LeaveDpiChangesToDialog(HWND dialog);
