#include "ControlLine.h"

#include <vector>

#include "ThemeFile.h"

RECT ControlLine::Rectangle(int left, int top, int width, int height) {
    return {left, top, ThemeFile::Saturate(static_cast<long long>(left) + width),
            ThemeFile::Saturate(static_cast<long long>(top) + height)};
}

ControlLine ControlLine::Parse(const std::string& line, const std::string& themeFolder) {
    const std::vector<std::string> fields = ThemeFile::SplitControlLine(line);
    auto field = [&fields](size_t i) { return i < fields.size() ? fields[i] : std::string(); };
    ControlLine parsed;
    parsed.rect = Rectangle(ThemeFile::Number(field(1)), ThemeFile::Number(field(2)), ThemeFile::Number(field(3)),
                            ThemeFile::Number(field(4)));
    parsed.type = FindControlType(field(5));
    if (parsed.type != nullptr && parsed.type->sizeRule == SizeRule::Picture)
        parsed.picturePath = ThemeFile::ThemePath(field(6), themeFolder);
    parsed.controlKey = ThemeFile::Number(field(8));
    return parsed;
}
