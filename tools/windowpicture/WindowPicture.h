#pragma once
#include <windows.h>

#include <string>

// Pictures of windows as PNG files, through the platform's imaging component
// (WIC). The calling thread must have COM initialised.
namespace WindowPicture {

// Pixels of 24-bit rows, top row first, each row `stride` bytes.
bool WritePng(const std::wstring& path, int width, int height, const BYTE* pixels, UINT stride);

// What the screen shows where the window is: for a window of another process,
// which must be on top.
bool SaveFromScreen(HWND window, const std::wstring& path);

// The window's own pixels, frame included, from its window device context: for
// a window of this process, whatever lies over it.
bool SaveOwnWindow(HWND window, const std::wstring& path);

}  // namespace WindowPicture
