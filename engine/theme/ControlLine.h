#pragma once
#include <windows.h>

#include <string>

#include "../controls/ControlTypes.h"

// One "INFO" line as the page reads it, before any control exists: shared by
// the page window and by tools that judge a theme without showing it.
struct ControlLine {
    RECT rect{};                        // left, top, left + width, top + height
    const ControlType* type = nullptr;  // null: the type word creates no control
    std::string picturePath;            // BITMAP and HOVER: field 6 in the theme folder
    int controlKey = 0;                 // field 8: where its rows are in "DADOS"

    static ControlLine Parse(const std::string& line, const std::string& themeFolder);
    // A line's left, top, width and height as the rectangle its control is
    // created in, before the type's size rule.
    static RECT Rectangle(int left, int top, int width, int height);
};
