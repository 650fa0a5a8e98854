#include "ControlLine.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "ThemeFile.h"

namespace {
int Saturate(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }
}  // namespace

ControlLine ControlLine::Parse(const std::string& line, const std::string& themeFolder) {
    const std::vector<std::string> fields = ThemeFile::SplitControlLine(line);
    auto field = [&fields](size_t i) { return i < fields.size() ? fields[i] : std::string(); };
    ControlLine parsed;
    const int left = ThemeFile::Number(field(1));
    const int top = ThemeFile::Number(field(2));
    parsed.rect = {left, top, Saturate(static_cast<long long>(left) + ThemeFile::Number(field(3))),
                   Saturate(static_cast<long long>(top) + ThemeFile::Number(field(4)))};
    parsed.type = FindControlType(field(5));
    if (parsed.type != nullptr && parsed.type->sizeRule == SizeRule::Picture)
        parsed.picturePath = ThemeFile::ThemePath(field(6), themeFolder);
    parsed.controlKey = ThemeFile::Number(field(8));
    return parsed;
}
