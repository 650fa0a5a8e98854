#include "WindowSettings.h"

#include "ThemeFile.h"

namespace {
using S = WindowSettings;
using E = WindowEffect;

// clang-format off
constexpr WindowKey kWindowKeys[] = {
//   key            text            number      braces property effect               style
    {"idcname",     &S::idcName,     nullptr,    false,  0,     E::Kept,             0},
    {"caption",     &S::caption,     nullptr,    false,  1,     E::Title,            0},
    {"bkimage",     &S::bkImage,     nullptr,    true,   4,     E::BackgroundImage,  0},
    {"border",      &S::border,      nullptr,    false,  3,     E::Border,           0},
    {"startup",     &S::startup,     nullptr,    false,  6,     E::Kept,             0},
    {"bkcolor",     &S::bkColor,     nullptr,    false,  2,     E::BackgroundColor,  0},
    {"width",       nullptr,         &S::width,  false, -1,     E::Kept,             0},
    {"height",      nullptr,         &S::height, false, -1,     E::Kept,             0},
    {"soundfile",   &S::soundFile,   nullptr,    true,   5,     E::Kept,             0},
    {"minwindow",   &S::minWindow,   nullptr,    false,  7,     E::StyleIfYes,       WS_MINIMIZEBOX},
    {"maxwindow",   &S::maxWindow,   nullptr,    false,  8,     E::StyleIfYes,       WS_MAXIMIZEBOX},
    {"closewindow", &S::closeWindow, nullptr,    false,  9,     E::StyleIfYes,       WS_SYSMENU},
    {"fontname",    &S::fontName,    nullptr,    false, -1,     E::Kept,             0},
    {"fontsize",    &S::fontSize,    nullptr,    false, -1,     E::Kept,             0},
    {"fontbold",    &S::fontBold,    nullptr,    false, -1,     E::Kept,             0},
    {"fontitalic",  &S::fontItalic,  nullptr,    false, -1,     E::Kept,             0},
};
// clang-format on
}  // namespace

std::span<const WindowKey> WindowKeys() { return kWindowKeys; }

const WindowKey* FindWindowProperty(int number) {
    for (const WindowKey& key : kWindowKeys)
        if (key.property >= 0 && key.property == number) return &key;
    return nullptr;
}

WindowSettings ReadWindowSettings(const std::string& path) {
    WindowSettings settings;
    for (const WindowKey& key : kWindowKeys) {
        const std::string value = ThemeFile::ReadValue(path, "MAINWINDOW", key.key);
        if (key.number != nullptr) settings.*key.number = ThemeFile::Number(value);
        if (key.text != nullptr) settings.*key.text = key.braces ? ThemeFile::WithoutBraces(value) : value;
    }
    return settings;
}
