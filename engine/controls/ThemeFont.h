#pragma once
#include <windows.h>

#include <string>

// -(points x the page's pixels per inch / 72), rounded as MulDiv rounds: 8
// points at 96 dpi give -11. Fonts keep their point size at every DPI.
int FontHeightForPoints(int points, int dpi);
// Theme fonts start from the system's status-bar font and replace its face,
// height, weight and slant. Flags are "on" when they hold 255.
LOGFONTA ThemeFontDescription(const std::string& face, int height, int boldFlag, int italicFlag);
// Only the exact word "No" turns a theme's bold or italic switch off (255: on).
int FlagFromSwitch(const std::string& value);
// A theme font as its four settings are written: face, size in points, bold
// and italic switches; its height at the DPI.
LOGFONTA ThemeFontFromSettings(const std::string& face, const std::string& points, const std::string& bold,
                               const std::string& italic, int dpi);
