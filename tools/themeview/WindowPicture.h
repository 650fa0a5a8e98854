#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Pictures of windows as PNG files, through the platform's imaging component
// (WIC). The calling thread must have COM initialised.
namespace WindowPicture {

// Pixels of 24-bit rows, top row first, each row `stride` bytes.
bool WritePng(const std::wstring& path, int width, int height, const BYTE* pixels, UINT stride);

struct Pixels {
    int width = 0;
    int height = 0;
    UINT stride = 0;
    std::vector<BYTE> bytes;
    bool operator==(const Pixels&) const = default;
};
bool Save(const Pixels& pixels, const std::wstring& path);

// What the screen shows where the window is, into memory.
bool CopyFromScreen(HWND window, Pixels* pixels);

// What the screen shows where the window is: for a window of another process,
// which must be on top.
bool SaveFromScreen(HWND window, const std::wstring& path);

// The window's own pixels, frame included, from its window device context: for
// a window of this process, whatever lies over it.
bool SaveOwnWindow(HWND window, const std::wstring& path);

}  // namespace WindowPicture
