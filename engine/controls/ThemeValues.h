#pragma once
#include <windows.h>

#include <array>
#include <string>
#include <string_view>

#include "../framework/DecimalNumber.h"

// The value syntaxes of theme files (numbers, colours, a control's rows): part
// of the theme file's reading rules (theme/ThemeFile.h), kept here, where the
// controls take their own rows.
namespace ThemeFile {

constexpr size_t kMaxFaceName = 31;  // LOGFONT's face name less its terminator

// A theme's number: its decimal prefix, saturating (DecimalNumber).
inline int Number(std::string_view text) { return DecimalNumber(text); }
// A pixel measure of a theme, made for 96 dpi, at a DPI: rounded as MulDiv
// rounds and saturating as the numbers do. At 96 dpi it is the measure itself.
int AtDpi(long long designPixels, int dpi);
// The first character alone as a number (0 when it is not a digit).
int FirstDigit(std::string_view text);

// "r,g,b" split at its first two commas, each piece a Number (missing: 0),
// each kept to its low byte as the platform's RGB keeps it.
COLORREF Color(std::string_view text);
// The system's button-face colour written as "%u,%u,%u".
std::string ButtonFaceText();
// "" counts as "COLOR_BTNFACE", which becomes the button-face triple.
std::string ResolveColorText(std::string_view text);
// The colour of a value as the page applies it: Color of ResolveColorText.
COLORREF ResolvedColor(std::string_view text);
// A label's background colour text ("" counts as "COLOR_BTNFACE"): the colour,
// and whether it fills the label, which it does unless the text is the
// button-face triple itself.
struct Background {
    COLORREF color;
    bool filled;
};
Background LabelBackground(std::string_view text);

// One "name|value|number" row of a control.
struct PropertyRow {
    std::string name;
    std::string value;
    int number = 0;
};
// A control's rows as its page keeps them.
constexpr int kMaxControlRows = 20;
using ControlRows = std::array<PropertyRow, kMaxControlRows>;

}  // namespace ThemeFile
