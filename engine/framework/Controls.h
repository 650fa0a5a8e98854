#pragma once
#include <windows.h>
#include <commctrl.h>

#include "Wnd.h"

// Thin wrappers over the platform's controls: each names its window class and
// turns the few messages the program sends into calls.
class CControl : public CWnd {
public:
    BOOL Create(const char* className, const char* text, DWORD style, const RECT& rect, HWND parent, UINT id) {
        return CreateEx(0, className, text, style, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
    }
};

class CButton : public CControl {
public:
    static constexpr const char* kClassName = "BUTTON";
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) const { SendMessage(BM_SETSTYLE, style, redraw); }
};

class CStatic : public CControl {
public:
    static constexpr const char* kClassName = "STATIC";
    HICON SetIcon(HICON icon) const {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
};

class CEdit : public CControl {
public:
    static constexpr const char* kClassName = "EDIT";
};

class CComboBox : public CControl {
public:
    static constexpr const char* kClassName = "COMBOBOX";
    // Index -1 asks for the selection field rather than the list items.
    int GetItemHeight(int index) const { return static_cast<int>(SendMessage(CB_GETITEMHEIGHT, index)); }
};

class CTreeCtrl : public CControl {
public:
    static constexpr const char* kClassName = WC_TREEVIEWA;
};

class CProgressCtrl : public CControl {
public:
    static constexpr const char* kClassName = PROGRESS_CLASSA;
    // The upper bound travels in the high word, so it is cut to 16 bits.
    void SetRange(int upper) const { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, static_cast<WORD>(upper))); }
    void SetPos(int position) const { SendMessage(PBM_SETPOS, static_cast<WPARAM>(position)); }
};

class CRichEditCtrl : public CControl {
public:
    static constexpr const char* kClassName = "RichEdit20A";
};
