#include "ThemeFont.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "../framework/GdiObject.h"
#include "../startup/ProductContext.h"
#include "ThemeFile.h"

LOGFONTA StatusBarFont() {
    NONCLIENTMETRICSA metrics{};
    // Without the padded-border field, which older systems refuse.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return LOGFONTA{};
    return metrics.lfStatusFont;
}

int FontHeightForPoints(int points, HWND window) {
    ScreenDC dc(window);
    return -::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
}

LOGFONTA ThemeFontDescription(const std::string& face, int height, int boldFlag, int italicFlag) {
    LOGFONTA font = StatusBarFont();
    font.lfHeight = height;
    font.lfWeight = boldFlag == kFlagSet ? FW_BOLD : FW_NORMAL;
    font.lfItalic = italicFlag == kFlagSet;
    font.lfUnderline = FALSE;
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::memcpy(font.lfFaceName, face.data(), std::min(face.size(), ThemeFile::kMaxFaceName));
    return font;
}
