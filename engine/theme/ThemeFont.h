#pragma once
#include <windows.h>

#include <string>

// -(points x the page's pixels per inch / 72), rounded as MulDiv rounds: 8
// points at 96 dpi give -11. Fonts keep their point size at every DPI.
int FontHeightForPoints(int points, int dpi);
// Theme fonts start from the system's status-bar font and replace its face,
// height, weight and slant. Flags are "on" when they hold 255.
LOGFONTA ThemeFontDescription(const std::string& face, int height, int boldFlag, int italicFlag);
