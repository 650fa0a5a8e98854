#include "ControlTable.h"

int ControlTable::Insert(ControlRecord record) {
    if (Full()) return -1;
    for (ControlRecord& moved : m_records) {
        if (moved.rowCount > kRowsKeptWhenMoved) moved.rowCount = 0;
        for (int r = moved.rowCount; r < ControlRecord::kMaxRows; ++r) moved.rows[static_cast<size_t>(r)] = {};
    }
    record.rowCount = 0;
    m_records.insert(m_records.begin(), std::move(record));
    return Count() - 1;
}

int ControlTable::FindControlByName(const std::string& identifier) const {
    for (const ControlRecord& record : m_records)
        if (record.identifier == identifier) return record.windowId;
    return -1;
}

int ControlTable::FindPoolIndex(int windowId) const {
    int position = FindRecordByWindowId(windowId);
    return position < 0 ? -1 : m_records[static_cast<size_t>(position)].poolIndex;
}

int ControlTable::FindRecordByWindowId(int windowId) const {
    for (int i = 0; i < Count(); ++i)
        if (m_records[static_cast<size_t>(i)].windowId == windowId) return i;
    return -1;
}

int ControlTable::FindClickAction(int position) const {
    if (position < 0 || position >= Count()) return -1;
    const ControlRecord& record = m_records[static_cast<size_t>(position)];
    int action = -1;
    for (int r = 0; r < record.rowCount; ++r) {
        const PropertyRow& row = record.rows[static_cast<size_t>(r)];
        if (row.name != "On Click" && row.name != "Mouse Click") continue;
        if (row.value.empty()) return -1;
        size_t dash = row.value.find('-');
        action = dash == std::string::npos ? 0 : ThemeFile::Number(std::string_view(row.value).substr(0, dash));
    }
    return action;
}
