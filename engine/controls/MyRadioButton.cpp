#include "MyRadioButton.h"

#include <string>

#include "../framework/FocusCues.h"
#include "../framework/HighContrast.h"

void CMyRadioButton::SetBackColor(COLORREF color) {
    m_backColor = color;
    m_brush.Reset();
    Invalidate();
}

void CMyRadioButton::OnCreated(const ControlType& type) {
    if (type.buttonStyle != 0) SetButtonStyle(type.buttonStyle);
}

void CMyRadioButton::ApplyRow(const AppliedRow& row, const PageLends&) {
    if (row.property == "Text") SetWindowText(row.value.c_str());
    if (row.property == "BackColor") ApplyBackColorRow(row.value);
}

void CMyRadioButton::ApplyColor(const std::string& value, int which) {
    if (which == 0) return;
    SetBackColor(ThemeFile::ResolvedColor(value));
    Invalidate();
}

bool CMyRadioButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_NOTIFY) return SkipHiddenFocusCue(m_hWnd, lParam, result);
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC || HighContrastOn()) return false;
    if (!m_brush) m_brush.Reset(::CreateSolidBrush(m_backColor));
    ::SetBkColor(reinterpret_cast<HDC>(wParam), m_backColor);
    *result = reinterpret_cast<LRESULT>(m_brush.Get());
    return true;
}

LRESULT CMyRadioButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!HighContrastOn()) return CButton::WindowProc(message, wParam, lParam);
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
        PaintDC dc(m_hWnd);
        PaintInSystemColors(dc);
        return 0;
    }
    const LRESULT result = CButton::WindowProc(message, wParam, lParam);
    // The system draws a button at once on these, in its own look: drawn again here.
    switch (message) {
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_UPDATEUISTATE:
        if (::IsWindow(m_hWnd)) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        break;
    }
    return result;
}

void CMyRadioButton::PaintInSystemColors(HDC dc) const {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    const UINT type = static_cast<UINT>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)) & BS_TYPEMASK;
    const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    const LRESULT check = SendMessage(BM_GETCHECK);
    const COLORREF ink = ::GetSysColor(::IsWindowEnabled(m_hWnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);

    // The mark: a ring, or a box, at the left, with a dot or a cross inside when chosen.
    const int size = ::GetSystemMetrics(SM_CXMENUCHECK);
    const int top = (client.bottom - size) / 2;
    RECT box{0, top, size, top + size};
    GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, ink));
    BrushHandle inkBrush(::CreateSolidBrush(ink));
    SelectedObject selectedPen(dc, pen.Get());
    SelectedObject selectedBrush(dc, ::GetSysColorBrush(COLOR_WINDOW));
    if (radio) {
        ::Ellipse(dc, box.left, box.top, box.right, box.bottom);
    } else {
        ::Rectangle(dc, box.left, box.top, box.right, box.bottom);
    }
    if (check != BST_UNCHECKED) {
        RECT mark = box;
        ::InflateRect(&mark, -size / 4, -size / 4);
        SelectedObject markBrush(dc, inkBrush.Get());
        if (radio || check == BST_INDETERMINATE) {
            radio ? ::Ellipse(dc, mark.left, mark.top, mark.right, mark.bottom)
                  : ::Rectangle(dc, mark.left, mark.top, mark.right, mark.bottom);
        } else {
            ::MoveToEx(dc, mark.left, mark.top, nullptr);
            ::LineTo(dc, mark.right, mark.bottom);
            ::MoveToEx(dc, mark.right - 1, mark.top, nullptr);
            ::LineTo(dc, mark.left - 1, mark.bottom);
        }
    }

    // The text beside it, and the focus around the text once the keyboard was used.
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(m_hWnd, text.data(), length + 1)));
    SelectedObject font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    RECT label{size + size / 3, client.top, client.right, client.bottom};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ink);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &label, format);
    if (::GetFocus() == m_hWnd && !FocusCuesHidden(m_hWnd) && !text.empty()) {
        RECT extent = label;
        ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &extent, format | DT_CALCRECT);
        const int height = extent.bottom - extent.top;
        extent.top = (label.top + label.bottom - height) / 2;
        extent.bottom = extent.top + height;
        ::InflateRect(&extent, 1, 1);
        ::DrawFocusRect(dc, &extent);
    }
}
