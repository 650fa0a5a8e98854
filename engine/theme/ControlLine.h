#pragma once
#include <windows.h>

#include <string>

#include "../controls/ControlTypes.h"
#include "../framework/Dpi.h"

// One "INFO" line as the page reads it, before any control exists: shared by
// the page window and by tools that judge a theme without showing it.
struct ControlLine {
    RECT rect{};                        // left, top, left + width, top + height, at 96 dpi
    const ControlType* type = nullptr;  // null: the type word creates no control
    std::string picturePath;            // BITMAP and HOVER: field 6 in the theme folder
    int controlKey = 0;                 // field 8: where its rows are in "DADOS"

    static ControlLine Parse(const std::string& line, const std::string& themeFolder);
    // A line's left, top, width and height as a rectangle at a DPI: every edge
    // is scaled from 96 dpi, so that controls that meet there meet at every DPI.
    // Edges beyond int saturate as the line's numbers do.
    static RECT Rectangle(long long left, long long top, long long width, long long height, int dpi = kDesignDpi);
    // Where a control of the type goes at a DPI: the line's rectangle (at 96 dpi)
    // after the type's size rule (a tiny control 90 x 25, an icon 32 x 32, a
    // picture the size it has at 96 dpi), through Rectangle.
    static RECT Placed(const ControlType& type, const RECT& line, SIZE picture, int dpi);
};
