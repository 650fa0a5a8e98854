#pragma once
#include <windows.h>

#include <span>
#include <string>

// The sixteen "MAINWINDOW" values of a page, each as read ("bkimage" and
// "soundfile" without braces, "width" and "height" as numbers); applying a
// property keeps what it made of its value (the caption with its placeholders
// replaced, an empty "bkcolor" as "COLOR_BTNFACE").
struct WindowSettings {
    std::string idcName, caption, bkImage, border, startup, bkColor;
    int width = 0, height = 0;
    std::string soundFile, minWindow, maxWindow, closeWindow, fontName, fontSize, fontBold, fontItalic;
};

// What the page does with a window property's value.
enum class WindowEffect {
    Kept,             // stored only
    Title,            // placeholders in both bracket forms replaced: the window's title
    BackgroundColor,  // a colour value, "" for the button face: the background brush
    BackgroundImage,  // a full path: the picture stretched over the window
    Border,           // the first character: 0 removes WS_BORDER, 1 adds it
    StyleIfYes,       // the exact word "Yes" adds `style`, anything else removes it
};

// One "MAINWINDOW" key: the setting it fills and how the page takes it. The
// ten with a property number are the window's properties, applied in the
// order of their numbers; the others size the page (PlaceWindow) and make its
// font.
struct WindowKey {
    const char* key;
    std::string WindowSettings::*text;  // the setting as text, or
    int WindowSettings::*number;        // as a number
    bool braces;                        // removed as the value is read
    int property;                       // -1: no window property
    WindowEffect effect;
    DWORD style;
};
constexpr int kWindowProperties = 10;

// The sixteen keys, in the order they are read.
std::span<const WindowKey> WindowKeys();
// The key of window property 0 to 9, or null.
const WindowKey* FindWindowProperty(int number);
// Every key of a theme file, each read on its own; none applied yet.
WindowSettings ReadWindowSettings(const std::string& path);
