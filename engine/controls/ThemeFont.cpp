#include "ThemeFont.h"

#include <algorithm>
#include <cstring>

#include "../framework/SystemMetrics.h"
#include "../product/ProductContext.h"
#include "ThemeValues.h"

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

int FlagFromSwitch(const std::string& value) { return value == "No" ? 0 : kFlagSet; }

LOGFONTA ThemeFontFromSettings(const std::string& face, const std::string& points, const std::string& bold,
                               const std::string& italic, int dpi) {
    return ThemeFontDescription(face, FontHeightForPoints(ThemeFile::Number(points), dpi), FlagFromSwitch(bold),
                                FlagFromSwitch(italic));
}
