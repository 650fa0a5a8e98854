#include "PageHost.h"

#include "../controls/ThemeFont.h"

void PageHost::BuildPageFont(const std::string& face, int height, int boldFlag, int italicFlag, int size, int dpi) {
    if (height == 0) height = FontHeightForPoints(size, dpi);
    LOGFONTA description = ThemeFontDescription(face, height, boldFlag, italicFlag);
    m_pageFont = std::make_shared<FontHandle>(::CreateFontIndirectA(&description));
    m_fontBold = boldFlag;
    m_fontItalic = italicFlag;
}
