#include "PageHost.h"

#include "ThemeFont.h"

void PageHost::BuildPageFont(const std::string& face, int height, int boldFlag, int italicFlag, int size) {
    if (height == 0) height = FontHeightForPoints(size);
    LOGFONTA description = ThemeFontDescription(face, height, boldFlag, italicFlag);
    m_pageFont = std::make_shared<FontHandle>(::CreateFontIndirectA(&description));
    m_fontBold = boldFlag;
    m_fontItalic = italicFlag;
}
