// Creation of a page's controls: one routine driven by the type table.
#include <cstdio>

#include "../controls/InputControls.h"
#include "../controls/MyStatic.h"
#include "../controls/NewLabel.h"
#include "../framework/FileStatus.h"
#include "ImageWindow.h"
#include "ThemeFile.h"

void CImageWindow::AddControl(ControlKind kind, RECT rect, const std::string& picturePath) {
    const ControlType& type = ControlTypeOf(kind);
    Pool& pool = m_pools[static_cast<size_t>(type.pool)];
    // The pools and the table have fixed room: a control beyond it is refused,
    // and with it its rows.
    if (pool.count >= kPoolSize || m_table.Full()) return;
    const int poolIndex = pool.count;
    const int windowId = m_nextWindowId;
    std::unique_ptr<CWnd>& slot = pool.objects[static_cast<size_t>(poolIndex)];
    slot = type.make();

    switch (type.sizeRule) {
    case SizeRule::Minimum:
        // Made for controls placed one at a time: a tiny one gets a usable size.
        if (rect.right - rect.left < 30 && rect.bottom - rect.top < type.heightThreshold)
            rect = {rect.left, rect.top, rect.left + 90, rect.top + 25};
        break;
    case SizeRule::Icon32:
        rect.right = rect.left + 32;
        rect.bottom = rect.top + 32;
        break;
    case SizeRule::Picture: {
        // Without a readable picture the control has no size.
        auto* picture = static_cast<CMyStatic*>(slot.get());
        if (HasFileStatus(picturePath)) picture->LoadPicture(picturePath);
        rect.right = rect.left + picture->PicturePixels().cx;
        rect.bottom = rect.top + picture->PicturePixels().cy;
        break;
    }
    }

    char caption[48] = {};
    if (type.caption != nullptr) std::snprintf(caption, sizeof caption, type.caption, pool.count + 1);
    if (!type.registerAfterWindow) AddControlRecord(rect, windowId, picturePath, type.keyword, poolIndex, m_sequence);

    auto* control = static_cast<CControl*>(slot.get());
    // A failed creation still uses its identifier, pool place and record.
    if ((type.prepare == nullptr || type.prepare()) &&
        control->Create(type.windowClass, caption, type.style, rect, m_hWnd, static_cast<UINT>(windowId))) {
        if (type.font == FontUse::PageFont && m_pageFont) control->SetFont(m_pageFont->Get());
        if (type.font == FontUse::TakePageFont) static_cast<CNewLabel*>(control)->TakePageFont(m_pageFont);
        if (type.buttonStyle != 0) static_cast<CButton*>(control)->SetButtonStyle(type.buttonStyle);
        if (type.backColor != nullptr) {
            const ThemeFile::Background back = ThemeFile::LabelBackground(type.backColor);
            static_cast<CNewLabel*>(control)->SetBackColor(back.color, back.filled);
        }
        if (type.align != nullptr) static_cast<CNewLabel*>(control)->SetAlign(type.align);
        if (type.addedExStyle != 0) control->ModifyStyleEx(0, type.addedExStyle, SWP_FRAMECHANGED);
        if (type.registerAfterWindow) {
            // The record covers the closed box only, not the dropped list.
            rect.bottom = rect.top + static_cast<CMyComboItem*>(control)->GetItemHeight(-1) + 9;
        }
    }
    if (type.registerAfterWindow) AddControlRecord(rect, windowId, picturePath, type.keyword, poolIndex, m_sequence);
    if (type.sizeRule == SizeRule::Picture) Invalidate();

    ++m_nextWindowId;
    ++m_sequence;
    ++pool.count;
}
