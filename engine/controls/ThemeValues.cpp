#include "ThemeValues.h"

#include <cstdio>

#include "../framework/Dpi.h"

namespace ThemeFile {
namespace {
std::string_view Piece(std::string_view& rest) {
    size_t comma = rest.find(',');
    std::string_view piece = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    return piece;
}
}  // namespace

int AtDpi(long long designPixels, int dpi) { return SaturateToInt(DpiScaled(designPixels, dpi)); }

int FirstDigit(std::string_view text) {
    return !text.empty() && text[0] >= '0' && text[0] <= '9' ? text[0] - '0' : 0;
}

COLORREF Color(std::string_view text) {
    std::string_view rest = text;
    int red = Number(Piece(rest));
    int green = Number(Piece(rest));
    int blue = Number(Piece(rest));
    return RGB(red & 0xFF, green & 0xFF, blue & 0xFF);
}

std::string ButtonFaceText() {
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    char text[32];
    std::snprintf(text, sizeof text, "%u,%u,%u", GetRValue(face), GetGValue(face), GetBValue(face));
    return text;
}

std::string ResolveColorText(std::string_view text) {
    if (text.empty() || text == "COLOR_BTNFACE") return ButtonFaceText();
    return std::string(text);
}

COLORREF ResolvedColor(std::string_view text) { return Color(ResolveColorText(text)); }

Background LabelBackground(std::string_view text) {
    const std::string written = text.empty() ? std::string("COLOR_BTNFACE") : std::string(text);
    return {Color(ResolveColorText(written)), written != ButtonFaceText()};
}

}  // namespace ThemeFile
