#include "Control.h"

#include <utility>

#include "Application.h"
#include "Exception.h"
#include "HighContrast.h"

namespace {
const wchar_t kControlProperty[] = L"TWinControl";
}

TWinControl::TWinControl(TComponent* Owner, TWinControl* Parent) : TComponent(Owner), m_parent(Parent) {}

TWinControl::~TWinControl() {
    // Destroying a window destroys its children; they let go of their handles in
    // WM_NCDESTROY, so whichever object goes first, no handle is used twice.
    if (m_handle != nullptr) ::DestroyWindow(m_handle);
}

void TWinControl::RegisterWindowClass(const wchar_t* className) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW existing{};
    if (::GetClassInfoW(instance, className, &existing)) return;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW));
    windowClass.lpszClassName = className;
    ::RegisterClassW(&windowClass);
}

void TWinControl::CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle) {
    HWND parent = m_parent != nullptr ? m_parent->Handle() : nullptr;
    if (parent != nullptr) style |= WS_CHILD;
    HWND hwnd = ::CreateWindowExW(exStyle, className, L"", style, 0, 0, 0, 0, parent, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) throw Exception("Could not create a window (error " + std::to_string(::GetLastError()) + ")");
    m_handle = hwnd;
    ::SetPropW(hwnd, kControlProperty, this);
    m_previousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWindowProc)));
    if (HFONT font = FontHandle()) ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
    return hwnd != nullptr ? static_cast<TWinControl*>(::GetPropW(hwnd, kControlProperty)) : nullptr;
}

void TWinControl::Detach() {
    ::RemovePropW(m_handle, kControlProperty);
    ::SetWindowLongPtrW(m_handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    m_handle = nullptr;
}

LRESULT CALLBACK TWinControl::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FromHandle(hwnd);
    if (control == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        if (control->m_accessible && control->m_accessible->Annotated) Annotations().Clear(hwnd);
        WNDPROC previous = control->m_previousProc;
        control->Detach();
        return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    // No exception may cross the platform's frames: what a handler raises ends
    // the handler, as a user's action ends, and is shown unless it is silent.
    bool answered = false;
    const LRESULT result = Application().Guarded(LRESULT{0}, [&] {
        const LRESULT answer = control->Dispatch(message, wParam, lParam);
        answered = true;
        return answer;
    });
    // A paint that failed leaves the window invalid, and would be asked for again at once.
    if (!answered && message == WM_PAINT) ::ValidateRect(hwnd, nullptr);
    return result;
}

HWND TWinControl::NotifyingChild(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY: return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM: return reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: return reinterpret_cast<HWND>(lParam);
    }
    return nullptr;
}

LRESULT TWinControl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT && m_accessible && m_accessible->Served) {
        LRESULT answer = 0;
        if (AnswerGetObject(m_handle, *m_accessible, wParam, lParam, answer)) return answer;
    }
    if (message == WM_SETFOCUS && m_parent != nullptr) m_parent->ControlFocused(m_handle);
    if (HWND child = NotifyingChild(message, wParam, lParam)) {
        TWinControl* control = FromHandle(child);
        LRESULT result = 0;
        if (control != nullptr && control != this && ::GetParent(child) == m_handle &&
            control->Notified(message, wParam, lParam, result))
            return result;
    }
    return WindowProc(message, wParam, lParam);
}

LRESULT TWinControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandler(message, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_previousProc, m_handle, message, wParam, lParam);
}

bool TWinControl::Notified(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message != WM_CTLCOLORSTATIC) return false;
    // Static text: the font's colour on the background the control shows.
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, ShownTextColor());
    ::SetBkColor(dc, ShownColor());
    result = reinterpret_cast<LRESULT>(BackgroundBrush());
    return true;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    m_bounds = {left, top, width, height};
    Place();
}

void TWinControl::Place() {
    const TBounds bounds = ScaleToDpi(m_bounds, Dpi());
    ::SetWindowPos(m_handle, nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

int TWinControl::Dpi() const { return m_parent != nullptr ? m_parent->Dpi() : kDesignDpi; }

void TWinControl::ChangeScale(int previousDpi) {
    // The old font goes once the children, which may be showing it, have the new one.
    TGdiObject<HFONT> previousFont;
    if (!m_font.Empty()) previousFont = std::exchange(m_fontHandle, m_font.Create(Dpi()));
    if (m_parent != nullptr) Place();
    if (HFONT font = FontHandle()) ::SendMessageW(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ScaleChanged(previousDpi);
    for (HWND child = ::GetWindow(m_handle, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        if (TWinControl* control = FromHandle(child)) control->ChangeScale(previousDpi);
}

RECT TWinControl::BoundsRect() const {
    RECT bounds{};
    ::GetWindowRect(m_handle, &bounds);
    ::MapWindowPoints(HWND_DESKTOP, m_parent != nullptr ? m_parent->Handle() : HWND_DESKTOP,
                      reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

std::wstring TWinControl::Text() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_handle)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(m_handle, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TWinControl::SetText(const std::wstring& text) { ::SetWindowTextW(m_handle, text.c_str()); }

bool TWinControl::Visible() const { return ::IsWindowVisible(m_handle) != FALSE; }

void TWinControl::SetVisible(bool visible) { ::ShowWindow(m_handle, visible ? SW_SHOWNA : SW_HIDE); }

bool TWinControl::Enabled() const { return ::IsWindowEnabled(m_handle) != FALSE; }

void TWinControl::SetEnabled(bool enabled) {
    if (!enabled && Focused()) {
        HWND root = ::GetAncestor(m_handle, GA_ROOT);
        HWND next = ::GetNextDlgTabItem(root, m_handle, FALSE);
        ::SetFocus(next != nullptr && next != m_handle ? next : root);
    }
    ::EnableWindow(m_handle, enabled ? TRUE : FALSE);
}

bool TWinControl::Focused() const {
    HWND focus = ::GetFocus();
    return focus != nullptr && (focus == m_handle || ::IsChild(m_handle, focus));
}

void TWinControl::SetAccessibleName(std::function<std::wstring()> name) {
    if (!m_accessible) m_accessible = std::make_unique<TAccessibleFacts>();
    m_accessible->Name = name;
    const bool taken = SUCCEEDED(Annotations().SetName(m_handle, std::move(name)));
    (taken ? m_accessible->Annotated : m_accessible->Served) = true;
}

void TWinControl::SetLiveRegion() {
    if (!m_accessible) m_accessible = std::make_unique<TAccessibleFacts>();
    m_accessible->Live = true;
    // LiveSetting is UI Automation's alone: without the service nobody reads it.
    if (SUCCEEDED(Annotations().SetLiveSetting(m_handle, 1))) m_accessible->Annotated = true;
}

void TWinControl::AnnounceChange() const {
    if (m_accessible && m_accessible->Live) AnnounceLiveRegion(m_handle);
}

const TFont& TWinControl::Font() const {
    if (!m_font.Empty() || m_parent == nullptr) return m_font;
    return m_parent->Font();
}

HFONT TWinControl::FontHandle() const {
    if (m_fontHandle || m_parent == nullptr) return m_fontHandle.Get();
    return m_parent->FontHandle();
}

void TWinControl::SetFont(const TFont& font) {
    m_font = font;
    m_fontHandle = font.Create(Dpi());
    if (m_handle != nullptr) ::SendMessageW(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(m_fontHandle.Get()), TRUE);
    FontChanged();
}

TColor TWinControl::Color() const {
    if (m_color != clParent || m_parent == nullptr) return m_color == clParent ? ::GetSysColor(COLOR_BTNFACE) : m_color;
    return m_parent->Color();
}

void TWinControl::SetColor(TColor color) {
    m_color = color;
    m_brush.Reset();
    if (m_handle != nullptr) ::InvalidateRect(m_handle, nullptr, TRUE);
}

LRESULT TWinControl::EraseBackground(HDC dc) {
    RECT client{};
    ::GetClientRect(m_handle, &client);
    ::FillRect(dc, &client, BackgroundBrush());
    return 1;
}

HBRUSH TWinControl::BackgroundBrush() {
    if (HighContrastOn()) return ::GetSysColorBrush(COLOR_WINDOW);
    if (m_color == clParent && m_parent != nullptr) return m_parent->BackgroundBrush();
    if (!m_brush) m_brush.Reset(::CreateSolidBrush(Color()));
    return m_brush.Get();
}

TColor TWinControl::ShownColor() const { return HighContrastOn() ? ::GetSysColor(COLOR_WINDOW) : Color(); }

TColor TWinControl::ShownTextColor() const {
    return HighContrastOn() ? ::GetSysColor(COLOR_WINDOWTEXT) : Font().Color;
}
