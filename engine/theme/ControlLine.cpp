#include "ControlLine.h"

#include <vector>

#include "ThemeFile.h"

RECT ControlLine::Rectangle(long long left, long long top, long long width, long long height, int dpi) {
    return {ThemeFile::AtDpi(left, dpi), ThemeFile::AtDpi(top, dpi), ThemeFile::AtDpi(left + width, dpi),
            ThemeFile::AtDpi(top + height, dpi)};
}

RECT ControlLine::Placed(const ControlType& type, const RECT& line, SIZE picture, int dpi) {
    const long long width = static_cast<long long>(line.right) - line.left;
    const long long height = static_cast<long long>(line.bottom) - line.top;
    switch (type.sizeRule) {
    case SizeRule::Minimum:
        // Made for controls placed one at a time: a tiny one gets a usable size.
        if (width < 30 && height < type.heightThreshold) return Rectangle(line.left, line.top, 90, 25, dpi);
        break;
    case SizeRule::Icon32:
        return Rectangle(line.left, line.top, 32, 32, dpi);
    case SizeRule::Picture:
        return Rectangle(line.left, line.top, picture.cx, picture.cy, dpi);
    }
    return Rectangle(line.left, line.top, width, height, dpi);
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
