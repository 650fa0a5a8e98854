#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "../controls/ControlTypes.h"
#include "ThemeFile.h"

using ThemeFile::PropertyRow;

// One control of a page: where it is, what it is, and its theme rows.
struct ControlRecord {
    static constexpr int kMaxRows = ThemeFile::kMaxControlRows;

    int left = 0, top = 0, right = 0, bottom = 0;  // at the page's DPI
    RECT line{};  // the line's rectangle at 96 dpi: where the control goes again at another DPI
    std::string type;
    std::string picturePath;  // BITMAP and HOVER only
    int windowId = 0;
    int poolIndex = 0;
    int sequence = 0;
    std::string identifier;
    ThemeFile::ControlRows rows;
    int rowCount = 0;
};

// A page's controls in "INFO" key order. Every new control goes in front, so
// the records already there move one place down; a record with more rows than
// a moved record keeps loses all of them.
class ControlTable {
public:
    static constexpr int kMaxControls = 69;
    static constexpr int kRowsKeptWhenMoved = 15;

    // Inserts at position 0; the position of the last record, or -1 when full.
    int Insert(ControlRecord record);
    void Clear() { m_records.clear(); }
    int Count() const { return static_cast<int>(m_records.size()); }
    bool Full() const { return Count() >= kMaxControls; }
    ControlRecord& operator[](int position) { return m_records[static_cast<size_t>(position)]; }
    const ControlRecord& operator[](int position) const { return m_records[static_cast<size_t>(position)]; }

    // Each returns -1 when nothing matches.
    int FindControlByName(const std::string& identifier) const;  // window identifier
    int FindPoolIndex(int windowId) const;
    int FindRecordByWindowId(int windowId) const;  // table position
    // The number before the first "-" of the last "On Click"/"Mouse Click" row;
    // an empty one ends the search with -1.
    int FindClickAction(int position) const;

private:
    std::vector<ControlRecord> m_records;
};

// The rules by which a page enters its controls, for the page and for tools
// that judge a theme without showing it.
// A new control's record: its type word and the type's numbered name
// ("IDC_BUTTON%i" with the pool index plus one; none for an unknown word), no rows.
ControlRecord NewControlRecord(const std::string& type, const RECT& rect, int windowId, int poolIndex, int sequence,
                               const std::string& picturePath);
// Reads a control key's rows into the record: at most kMaxRows of them.
// Returns the "%i,t" count as written.
int ReadControlRows(ControlRecord& record, const std::string& path, int controlKey, const std::string& themeFolder);
// Whether row 0 renames a control of the type.
bool NamedByRows(const ControlType& type);
// Row 0 renames a control whose type takes its identifier from the rows, when
// it has rows at all; true when it did.
bool TakeIdentifierFromRows(ControlRecord& record, const ControlType& type);
