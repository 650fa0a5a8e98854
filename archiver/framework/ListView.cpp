#include "ListView.h"

#include <commctrl.h>

#include <iterator>

#include "HighContrast.h"

TListView::TListView(TComponent* Owner, TWinControl* Parent) : TWinControl(Owner, Parent) {
    CreateHandle(WC_LISTVIEWW, WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
                 WS_EX_CLIENTEDGE);
}

void TListView::AddColumn(const std::wstring& caption, int width, TAlignment alignment) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = alignment == TAlignment::taRightJustify ? LVCFMT_RIGHT
                 : alignment == TAlignment::taCenter     ? LVCFMT_CENTER
                                                         : LVCFMT_LEFT;
    column.cx = Scaled(width);
    column.pszText = const_cast<wchar_t*>(caption.c_str());
    ::SendMessageW(Handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(m_columns++), reinterpret_cast<LPARAM>(&column));
}

void TListView::ScaleChanged(int previousDpi) {
    // Widths the user gave the columns are kept, in proportion.
    for (int column = 0; column < m_columns; ++column) {
        const int width = static_cast<int>(::SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
        ::SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                       MAKELPARAM(::MulDiv(width, Dpi(), previousDpi), 0));
    }
}

void TListView::SetStyleBit(DWORD bit, bool on) {
    LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
    ::SetWindowLongPtrW(Handle(), GWL_STYLE, on ? style | bit : style & ~static_cast<LONG_PTR>(bit));
}

void TListView::SetMultiSelect(bool multiSelect) { SetStyleBit(LVS_SINGLESEL, !multiSelect); }

void TListView::SetRowSelect(bool rowSelect) {
    ::SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, rowSelect ? LVS_EX_FULLROWSELECT : 0);
}

void TListView::FontChanged() {
    ::SendMessageW(Handle(), LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ShownTextColor()));
}

void TListView::ColorsChanged() {
    // The rows' background is the system's window colour, the list's own default,
    // which it takes only when made.
    FontChanged();
    const auto window = static_cast<LPARAM>(::GetSysColor(COLOR_WINDOW));
    ::SendMessageW(Handle(), LVM_SETBKCOLOR, 0, window);
    ::SendMessageW(Handle(), LVM_SETTEXTBKCOLOR, 0, HighContrastOn() ? window : static_cast<LPARAM>(CLR_DEFAULT));
}

void TListView::SetItemCount(int count) {
    m_count = count;
    // The list is painted anew below rather than by the count's own invalidation,
    // which costs the platform more for the same picture.
    ::SendMessageW(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TListView::Clear() {
    m_count = 0;
    ::SendMessageW(Handle(), LVM_DELETEALLITEMS, 0, 0);
}

int TListView::SelCount() const { return static_cast<int>(::SendMessageW(Handle(), LVM_GETSELECTEDCOUNT, 0, 0)); }

int TListView::NextSelected(int row) const {
    return static_cast<int>(::SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
}

std::wstring TListView::CellText(int row, int column) const {
    wchar_t text[1024] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    LRESULT length =
        ::SendMessageW(Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return std::wstring(item.pszText, static_cast<size_t>(length));
}

bool TListView::Notified(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY) return TWinControl::Notified(message, wParam, lParam, result);
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code != LVN_GETDISPINFOW) return false;
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return false;
    std::wstring text;
    if (OnData && item.iItem >= 0 && item.iItem < m_count) OnData(this, item.iItem, item.iSubItem, text);
    ::lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
    result = 0;
    return true;
}
