#include "ThemeFont.h"

#include <algorithm>
#include <cstring>

#include "../framework/SystemMetrics.h"
#include "../product/ProductContext.h"
#include "ThemeFile.h"

int FontHeightForPoints(int points, int dpi) { return -::MulDiv(points, dpi, 72); }

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
