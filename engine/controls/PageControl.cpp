#include "PageControl.h"

#include "../framework/Accessible.h"
#include "ThemeFont.h"

void CPageControl::UsePageFont(FontUse use, const PageLends& page) {
    if (use == FontUse::PageFont && page.pageFont) Control().SetFont(page.pageFont->Get());
}

void CPageControl::ApplyBackColorRow(std::string& value) {
    if (value.empty()) value = "COLOR_BTNFACE";
    ApplyColor(value, 1);
}

LOGFONTA FontFromRows(const ControlRows& rows, int first, int dpi) {
    auto row = [&rows, first](int i) -> const std::string& { return rows[static_cast<size_t>(first + i)].value; };
    return ThemeFontFromSettings(row(0), row(1), row(2), row(3), dpi);
}

void SetBorderByDigit(const CWnd& window, std::string_view value) {
    const int digit = ThemeFile::FirstDigit(value);
    if (digit == 0) window.ModifyStyle(WS_BORDER, 0);
    if (digit == 1) window.ModifyStyle(0, WS_BORDER);
}

void CPageControl::DescribePicture(Annotation& annotation, const PageContext& page) {
    if (page.command.empty()) {
        annotation.Decorative(Control());
        return;
    }
    annotation.Role(Control(), ROLE_SYSTEM_PUSHBUTTON);
    annotation.Name(Control(), page.command);
}

void CPageControl::DescribeInput(Annotation& annotation, const PageContext& page) {
    if (page.label != nullptr) annotation.NameFrom(Control(), page.label);
}
