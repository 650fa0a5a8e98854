#pragma once
#include <windows.h>

// Forms are laid out for 96 dots per inch and grow with the DPI of the monitor they
// are on, as a form designed at 96 dpi does; at 96 every measure is the layout's.
constexpr int kDesignDpi = 96;

// A rectangle of a layout: left, top, width and height at 96 dpi.
struct TBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// The DPI of the monitor the window is on; without a window, the system's.
int DpiOf(HWND window);
// A measure of the layout at that DPI, rounded as MulDiv rounds.
int ScaleToDpi(int designPixels, int dpi);
// The edges are scaled, not the sizes, so that controls that meet in the layout
// meet at every DPI.
TBounds ScaleToDpi(const TBounds& bounds, int dpi);
// The window's size around a client area, with the frame's measures at that DPI.
SIZE FrameSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);
