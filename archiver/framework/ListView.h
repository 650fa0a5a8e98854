#pragma once
#include <string>

#include "Control.h"
#include "Event.h"

// (Sender, Row, Column, out Text)
using TListCellEvent = TEvent<TObject*, int, int, std::wstring&>;

// The platform's list view in report view (List View reference), holding its rows
// as owner data: the list knows how many rows there are and asks OnData for the text
// of the cells it shows. Adding rows costs nothing on screen, so archives of
// a hundred thousand items list as fast as they are read; selection, scrolling and
// reading a cell's text work as for rows stored in the control.
class TListView : public TWinControl {
public:
    TListView(TComponent* Owner, TWinControl* Parent);

    // The width is the layout's, at 96 dpi.
    void AddColumn(const std::wstring& caption, int width, TAlignment alignment);
    void SetMultiSelect(bool multiSelect);
    void SetRowSelect(bool rowSelect);

    TListCellEvent OnData;

    int ItemCount() const { return m_count; }
    // The rows the owner holds now: the list asks for the text of those it shows.
    void SetItemCount(int count);
    void Clear();

    int SelCount() const;
    // The next selected row after `row` (-1: from the first), or -1.
    int NextSelected(int row) const;
    // The cell's text as the list shows it.
    std::wstring CellText(int row, int column) const;
    // The text colour, and the rows' background in high contrast, follow the system's.
    void ColorsChanged() override;

protected:
    bool Notified(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void FontChanged() override;
    void ScaleChanged(int previousDpi) override;

private:
    void SetStyleBit(DWORD bit, bool on);

    int m_count = 0;
    int m_columns = 0;
};
