// Creation of a page's controls: one routine driven by the type table, and the
// placing of a control at the page's DPI, shared with laying the page out again.
#include <cstdio>

#include "../controls/InputControls.h"
#include "../controls/MyStatic.h"
#include "../controls/NewLabel.h"
#include "../framework/FileStatus.h"
#include "ControlLine.h"
#include "ImageWindow.h"
#include "PictureFile.h"
#include "ThemeFile.h"

namespace {
// Below the closed box of a combo box, as its record covers it.
constexpr int kComboBoxMargin = 9;
}  // namespace

void CImageWindow::AddControl(ControlKind kind, const RECT& line, const std::string& picturePath) {
    const ControlType& type = ControlTypeOf(kind);
    Pool& pool = m_pools[static_cast<size_t>(type.pool)];
    // The pools and the table have fixed room: a control beyond it is refused,
    // and with it its rows.
    if (pool.count >= kPoolSize || m_table.Full()) return;
    const int poolIndex = pool.count;
    const int windowId = m_nextWindowId;
    std::unique_ptr<CWnd>& slot = pool.objects[static_cast<size_t>(poolIndex)];
    slot = type.make();
    RECT rect = PlaceControl(type, line, picturePath, slot.get());

    char caption[48] = {};
    if (type.caption != nullptr) std::snprintf(caption, sizeof caption, type.caption, pool.count + 1);
    auto enter = [&] {
        if (AddControlRecord(rect, windowId, picturePath, type.keyword, poolIndex, m_sequence) >= 0)
            m_table[0].line = line;
    };
    if (!type.registerAfterWindow) enter();

    auto* control = static_cast<CControl*>(slot.get());
    // A failed creation still uses its identifier, pool place and record.
    if ((type.prepare == nullptr || type.prepare()) &&
        control->Create(type.windowClass, caption, type.style, rect, m_hWnd, static_cast<UINT>(windowId))) {
        GivePageFont(type, control);
        if (type.buttonStyle != 0) static_cast<CButton*>(control)->SetButtonStyle(type.buttonStyle);
        if (type.backColor != nullptr) {
            const ThemeFile::Background back = ThemeFile::LabelBackground(type.backColor);
            static_cast<CNewLabel*>(control)->SetBackColor(back.color, back.filled);
        }
        if (type.align != nullptr) static_cast<CNewLabel*>(control)->SetAlign(type.align);
        if (type.addedExStyle != 0) control->ModifyStyleEx(0, type.addedExStyle, SWP_FRAMECHANGED);
        rect = RegisteredRect(type, rect, control);
    }
    if (type.registerAfterWindow) enter();
    if (type.sizeRule == SizeRule::Picture) Invalidate();

    ++m_nextWindowId;
    ++m_sequence;
    ++pool.count;
}

RECT CImageWindow::PlaceControl(const ControlType& type, const RECT& line, const std::string& picturePath,
                                CWnd* object) {
    auto* picture = type.sizeRule == SizeRule::Minimum ? nullptr : static_cast<CMyStatic*>(object);
    SIZE designSize{};
    if (type.sizeRule == SizeRule::Picture) {
        // Without a readable picture the control has no size. A variant made for
        // a larger scaling stands for the named picture: the layout keeps the
        // named picture's size.
        const PictureChoice choice = ChoosePictureFile(picturePath, m_dpi);
        if (HasFileStatus(choice.path)) picture->LoadPicture(choice.path, choice.percent, m_dpi);
        designSize = {::MulDiv(picture->PicturePixels().cx, 100, choice.percent),
                      ::MulDiv(picture->PicturePixels().cy, 100, choice.percent)};
    }
    const RECT rect = ControlLine::Placed(type, line, designSize, m_dpi);
    if (type.sizeRule == SizeRule::Picture) {
        picture->SetPictureSize({rect.right - rect.left, rect.bottom - rect.top});
    } else if (type.sizeRule == SizeRule::Icon32) {
        picture->SetIconSize(ThemeFile::AtDpi(CMyStatic::kIconPixels, m_dpi));
        // An icon file shown instead of a built-in icon scales as a picture.
        if (picture->PictureLoaded()) picture->SetPictureSize(AtPageDpi(picture->PicturePixels()));
    }
    return rect;
}

RECT CImageWindow::RegisteredRect(const ControlType& type, RECT rect, CWnd* object) const {
    // The window is as high as its dropped list; the record covers the closed box.
    if (type.registerAfterWindow)
        rect.bottom = ThemeFile::Saturate(static_cast<long long>(rect.top) +
                                          static_cast<CMyComboItem*>(object)->GetItemHeight(-1) +
                                          ThemeFile::AtDpi(kComboBoxMargin, m_dpi));
    return rect;
}

void CImageWindow::GivePageFont(const ControlType& type, CWnd* object) const {
    if (type.font == FontUse::PageFont && m_pageFont) object->SetFont(m_pageFont->Get());
    if (type.font == FontUse::TakePageFont) static_cast<CNewLabel*>(object)->TakePageFont(m_pageFont);
}

SIZE CImageWindow::AtPageDpi(SIZE designSize) const {
    return {ThemeFile::AtDpi(designSize.cx, m_dpi), ThemeFile::AtDpi(designSize.cy, m_dpi)};
}
