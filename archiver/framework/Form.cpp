#include "Form.h"

#include <functional>

namespace {
constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE, Windows 10 1703 and later
}

TForm::TForm(TComponent* Owner, const wchar_t* className, int clientWidth, int clientHeight,
             TBorderIcons borderIcons, TColor color, const TFont& font)
    : TWinControl(Owner, nullptr), m_clientWidth(clientWidth), m_clientHeight(clientHeight) {
    // The title bar's buttons exist only with the system menu; without it the
    // window has neither a close button nor the minimise box the icons ask for.
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
    if (borderIcons.Contains(TBorderIcon::biSystemMenu)) style |= WS_SYSMENU;
    if (borderIcons.Contains(TBorderIcon::biMinimize)) style |= WS_MINIMIZEBOX;
    if (borderIcons.Contains(TBorderIcon::biMaximize)) style |= WS_MAXIMIZEBOX;
    RegisterWindowClass(className);
    SetColor(color);
    CreateHandle(className, style, WS_EX_CONTROLPARENT);
    m_dpi = DpiOf(Handle());
    SetFont(font);

    const SIZE frame = FrameSizeAt(m_dpi);
    ::SetWindowPos(Handle(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - frame.cx) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - frame.cy) / 2, frame.cx, frame.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE TForm::FrameSizeAt(int dpi) const {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
    return FrameSize(ScaleToDpi(m_clientWidth, dpi), ScaleToDpi(m_clientHeight, dpi), style, exStyle, dpi);
}

void TForm::DpiChanged(int dpi, const RECT& suggested) {
    const int previous = m_dpi;
    m_dpi = dpi;
    ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ChangeScale(previous);
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TForm::Show() {
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    // Focus cues as for a dialog: hidden after a start by the mouse, until a key is used.
    ::SendMessageW(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    if (CanTakeFocus(m_focus)) ::SetFocus(m_focus);
    ::UpdateWindow(Handle());
}

bool TForm::CanTakeFocus(HWND control) const {
    return control != nullptr && ::IsChild(Handle(), control) && ::IsWindowVisible(control) &&
           ::IsWindowEnabled(control);
}

void TForm::FocusControl(HWND control) {
    m_focus = control;
    if (::GetActiveWindow() == Handle() && CanTakeFocus(control)) ::SetFocus(control);
}

void TForm::SystemColorsChanged() {
    // The common controls learn of it only from their parent.
    std::function<void(HWND)> follow = [&follow](HWND parent) {
        for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
            if (TWinControl* control = FromHandle(child)) control->ColorsChanged();
            follow(child);
        }
    };
    follow(Handle());
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT TForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return EraseBackground(reinterpret_cast<HDC>(wParam));
    // Moved to a monitor of another DPI (WM_DPICHANGED reference): the layout is
    // scaled anew and the window takes the rectangle the system suggests. The
    // system asks for the size first (WM_GETDPISCALEDSIZE), so that the client
    // area is the layout's at the new DPI rather than the old one stretched.
    case WM_DPICHANGED: DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case kGetDpiScaledSize: *reinterpret_cast<SIZE*>(lParam) = FrameSizeAt(static_cast<int>(wParam)); return TRUE;
    case WM_ACTIVATE:
        // The system would give the focus to the form itself, where no key does anything.
        if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0 && CanTakeFocus(m_focus)) {
            ::SetFocus(m_focus);
            return 0;
        }
        break;
    case WM_SYSCOLORCHANGE: SystemColorsChanged(); break;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETHIGHCONTRAST) SystemColorsChanged();
        break;
    }
    return TWinControl::WindowProc(message, wParam, lParam);
}

void TForm::Hide() { ::ShowWindow(Handle(), SW_HIDE); }
