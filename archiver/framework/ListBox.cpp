#include "ListBox.h"

TListBox::TListBox(TComponent* Owner, TWinControl* Parent) : TWinControl(Owner, Parent) {
    CreateHandle(L"ListBox", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                 WS_EX_CLIENTEDGE);
}

void TListBox::AddItem(const std::wstring& text) {
    ::SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TListBox::Clear() { ::SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }

int TListBox::Count() const { return static_cast<int>(::SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

std::wstring TListBox::Item(int index) const {
    LRESULT length = ::SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = ::SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length == LB_ERR ? 0 : static_cast<size_t>(length));
    return text;
}

void TListBox::SetItemHeight(int height) {
    m_itemHeight = height;
    ::SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(Scaled(height), 0));
}

void TListBox::ScaleChanged(int) {
    // A new font has set the height to the font's.
    if (m_itemHeight > 0) SetItemHeight(m_itemHeight);
}
