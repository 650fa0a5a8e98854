#include "Wnd.h"

namespace {
const char kObjectProperty[] = "NorvaneWnd";
}

CWnd::~CWnd() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool CWnd::RegisterWindowClass(const char* className, UINT classStyle, HICON icon, HBRUSH background) {
    WNDCLASSA existing{};
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    if (::GetClassInfoA(instance, className, &existing)) return true;
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return ::RegisterClassA(&wc) != 0;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return static_cast<CWnd*>(::GetPropA(hwnd, kObjectProperty));
}

// Windows of our own classes are created with DefWindowProc and taken over at
// WM_NCCREATE, so every window, ours or a control's, is bound the same way.
namespace {
thread_local CWnd* t_creating = nullptr;
thread_local HHOOK t_hook = nullptr;

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_creating != nullptr) {
        CWnd* object = t_creating;
        t_creating = nullptr;
        object->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(t_hook, code, wParam, lParam);
}
}  // namespace

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId) {
    t_creating = this;
    t_hook = ::SetWindowsHookExA(WH_CBT, CreationHook, nullptr, ::GetCurrentThreadId());
    HWND hwnd = ::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height,
                                  parent, menuOrId, ::GetModuleHandleA(nullptr), nullptr);
    ::UnhookWindowsHookEx(t_hook);
    t_hook = nullptr;
    t_creating = nullptr;
    if (hwnd == nullptr) {
        m_hWnd = nullptr;  // creation refused (OnCreate returned -1): the handle is gone
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (hwnd == nullptr || m_hWnd != nullptr) return FALSE;
    Attach(hwnd);
    m_previousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWindowProc)));
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    ::SetPropA(hwnd, kObjectProperty, this);
}

void CWnd::Detach() {
    if (m_hWnd == nullptr) return;
    ::RemovePropA(m_hWnd, kObjectProperty);
    if (m_previousProc != nullptr)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    m_hWnd = nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT CWnd::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_previousProc != nullptr) return ::CallWindowProcA(m_previousProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = FromHandle(hwnd);
    if (object == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC previous = object->m_previousProc;
        object->Detach();
        LRESULT result = previous != nullptr ? ::CallWindowProcA(previous, hwnd, message, wParam, lParam)
                                             : ::DefWindowProcA(hwnd, message, wParam, lParam);
        object->OnNcDestroy();
        return result;
    }
    return object->WindowProc(message, wParam, lParam);
}
