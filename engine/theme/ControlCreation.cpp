// A page's controls: their creation over the type table, their rows, and their
// layout at the page's DPI, again when it changes. What a type does beyond its
// table entry its control does itself (CPageControl).
#include <cstdio>

#include "../product/LanguageText.h"
#include "ControlLine.h"
#include "ImageWindow.h"
#include "ThemeFile.h"

void CImageWindow::BuildControls(int total) {
    for (int k : ThemeFile::ControlKeysInOrder(m_themePath, total)) {
        // Once the table is full no later line can add a control.
        if (m_table.Full()) break;
        const int before = m_table.Count();
        const int controlKey = ParseControlLine(ThemeFile::ReadValue(m_themePath, "INFO", std::to_string(k)));
        if (m_table.Count() == before) continue;  // no control: its rows have nowhere to go
        ReadControlRows(m_table[0], m_themePath, controlKey, m_themeFolder);
    }
    ApplyLoadedProperties();
    DescribeControls();
}

int CImageWindow::ParseControlLine(const std::string& line) {
    const ControlLine parsed = ControlLine::Parse(line, m_themeFolder);
    if (parsed.type != nullptr) AddControl(parsed.type->kind, parsed.rect, parsed.picturePath);
    return parsed.controlKey;
}

int CImageWindow::AddControlRecord(const RECT& rect, int windowId, const std::string& picturePath,
                                   const std::string& type, int poolIndex, int sequence) {
    return m_table.Insert(NewControlRecord(type, rect, windowId, poolIndex, sequence, picturePath));
}

void CImageWindow::AddControl(ControlKind kind, const RECT& line, const std::string& picturePath) {
    const ControlType& type = ControlTypeOf(kind);
    Pool& pool = m_pools[static_cast<size_t>(type.pool)];
    // The pools and the table have fixed room: a control beyond it is refused,
    // and with it its rows.
    if (pool.count >= kPoolSize || m_table.Full()) return;
    const int poolIndex = pool.count;
    const int windowId = m_nextWindowId;
    std::unique_ptr<CPageControl>& slot = pool.objects[static_cast<size_t>(poolIndex)];
    slot = type.make();
    CPageControl& control = *slot;
    RECT rect = PlaceControl(type, line, picturePath, control);

    char caption[48] = {};
    if (type.caption != nullptr) std::snprintf(caption, sizeof caption, type.caption, pool.count + 1);
    auto enter = [&] {
        if (AddControlRecord(rect, windowId, picturePath, type.keyword, poolIndex, m_sequence) >= 0)
            m_table[0].line = line;
    };
    if (!type.registerAfterWindow) enter();

    CControl& window = control.Control();
    // A failed creation still uses its identifier, pool place and record.
    if ((type.prepare == nullptr || type.prepare()) &&
        window.Create(type.windowClass, caption, type.style, rect, m_hWnd, static_cast<UINT>(windowId))) {
        control.UsePageFont(type.font, Lends());
        control.OnCreated(type);
        if (type.addedExStyle != 0) window.ModifyStyleEx(0, type.addedExStyle, SWP_FRAMECHANGED);
        rect = control.Registered(rect, m_dpi);
    }
    if (type.registerAfterWindow) enter();
    if (type.sizeRule == SizeRule::Picture) Invalidate();

    ++m_nextWindowId;
    ++m_sequence;
    ++pool.count;
}

RECT CImageWindow::PlaceControl(const ControlType& type, const RECT& line, const std::string& picturePath,
                                CPageControl& control) const {
    const RECT rect = ControlLine::Placed(type, line, control.LoadLinePicture(picturePath, m_dpi), m_dpi);
    control.Placed(rect, m_dpi);
    return rect;
}

void CImageWindow::LayOutControls() {
    const PageLends lends = Lends();
    for (int position = 0; position < m_table.Count(); ++position) {
        ControlRecord& record = m_table[position];
        const ControlType* type = FindControlType(record.type);
        CPageControl* control = PageControl(position);
        if (type == nullptr || control == nullptr) continue;
        RECT rect = PlaceControl(*type, record.line, record.picturePath, *control);
        ::MoveWindow(control->Control().m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     FALSE);
        control->UsePageFont(type->font, lends);
        for (const LoadStep& step : type->loadSteps)
            if (step.property == kFontStep) ApplyLoadStep(position, step);
        rect = control->Registered(rect, m_dpi);
        record.left = rect.left, record.top = rect.top, record.right = rect.right, record.bottom = rect.bottom;
    }
}

void CImageWindow::ApplyLoadedProperties() {
    for (int position = 0; position < m_table.Count(); ++position) {
        ControlRecord& record = m_table[position];
        const ControlType* type = FindControlType(record.type);
        if (type == nullptr) continue;
        // A control without rows keeps the name its type gave it.
        TakeIdentifierFromRows(record, *type);
        for (const LoadStep& step : type->loadSteps)
            if (step.property != kIdentifierStep) ApplyLoadStep(position, step);
        if (CPageControl* control = PageControl(position)) control->ApplyIdentifier(record.identifier, Lends());
    }
}

void CImageWindow::ApplyLoadStep(int position, const LoadStep& step) {
    ApplyProperty(position, step.property, m_table[position].rows[static_cast<size_t>(step.row)].value, step.row);
}

void CImageWindow::ApplyProperty(int position, std::string_view name, const std::string& value, int row) {
    if (position < 0 || position >= m_table.Count()) {
        ApplyWindowProperty(row, value);
        return;
    }
    ControlRecord& record = m_table[position];
    // A row beyond the record's is applied all the same, and not kept.
    std::string unkept = value;
    std::string& kept = row >= 0 && row < ControlRecord::kMaxRows ? record.rows[static_cast<size_t>(row)].value
                                                                  : unkept;
    kept = value;
    if (CPageControl* control = PageControl(position)) control->ApplyRow({name, row, kept, record.rows}, Lends());
}

void CImageWindow::ApplyColor(int position, const std::string& value, int which) {
    if (position >= 0 && position < m_table.Count()) {
        if (CPageControl* control = PageControl(position)) control->ApplyColor(value, which);
    } else if (which == 1) {
        SetBackgroundColor(value);
    }
}

CPageControl* CImageWindow::PageControl(int position) const {
    if (position < 0 || position >= m_table.Count()) return nullptr;
    const ControlRecord& record = m_table[position];
    const ControlType* type = FindControlType(record.type);
    if (type == nullptr || record.poolIndex < 0 || record.poolIndex >= kPoolSize) return nullptr;
    return m_pools[static_cast<size_t>(type->pool)].objects[static_cast<size_t>(record.poolIndex)].get();
}

CWnd* CImageWindow::ControlObject(int position) const {
    CPageControl* control = PageControl(position);
    return control != nullptr ? &control->Control() : nullptr;
}

PageLends CImageWindow::Lends() const {
    return {m_dpi, m_pageIndex, m_pageCount, m_pageFont, ExpandTextTokens, ExpandProductTokens};
}
