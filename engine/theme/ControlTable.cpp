#include "ControlTable.h"

#include <algorithm>
#include <cstdio>

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

ControlRecord NewControlRecord(const std::string& type, const RECT& rect, int windowId, int poolIndex, int sequence,
                               const std::string& picturePath) {
    ControlRecord record;
    record.left = rect.left;
    record.top = rect.top;
    record.right = rect.right;
    record.bottom = rect.bottom;
    record.type = type;
    record.picturePath = picturePath;
    record.windowId = windowId;
    record.poolIndex = poolIndex;
    record.sequence = sequence;
    if (const ControlType* controlType = FindControlType(type)) {
        char name[32];
        std::snprintf(name, sizeof name, controlType->recordName, poolIndex + 1);
        record.identifier = name;
    }
    return record;
}

int ReadControlRows(ControlRecord& record, const std::string& path, int controlKey, const std::string& themeFolder) {
    const int written = ThemeFile::ReadRowCount(path, controlKey);
    record.rowCount = std::clamp(written, 0, ControlRecord::kMaxRows);
    for (int r = 0; r < record.rowCount; ++r)
        record.rows[static_cast<size_t>(r)] = ThemeFile::ReadRow(path, controlKey, r, themeFolder);
    return written;
}

bool NamedByRows(const ControlType& type) {
    return std::any_of(type.loadSteps.begin(), type.loadSteps.end(),
                       [](const LoadStep& step) { return step.property == kIdentifierStep; });
}

bool TakeIdentifierFromRows(ControlRecord& record, const ControlType& type) {
    if (!NamedByRows(type) || record.rowCount == 0) return false;
    record.identifier = record.rows[0].value;
    return true;
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
