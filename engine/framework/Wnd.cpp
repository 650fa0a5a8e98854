#include "Wnd.h"

#include "ExceptionBoundary.h"
#include "SessionEnd.h"

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
// their creation hook, so every window, ours, a control's or a dialog's, is bound
// the same way.
namespace {
thread_local CWnd* t_creating = nullptr;
thread_local HHOOK t_hook = nullptr;

// The system may make the thread's input-method window inside the creation of
// its first top-level window, so that it reaches the hook first; it is never
// the window the hook waits for.
bool IsInputMethodWindow(HWND hwnd) {
    if (::GetClassLongPtrA(hwnd, GCL_STYLE) & CS_IME) return true;
    char className[8] = {};
    return ::GetClassNameA(hwnd, className, sizeof className) > 0 && ::lstrcmpiA(className, "IME") == 0;
}

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_creating != nullptr && !IsInputMethodWindow(reinterpret_cast<HWND>(wParam))) {
        CWnd* object = t_creating;
        t_creating = nullptr;
        object->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(t_hook, code, wParam, lParam);
}
}  // namespace

CreationScope::CreationScope(CWnd* object) : m_previousObject(t_creating), m_previousHook(t_hook) {
    // A window may create children while it is being created (in WM_CREATE or
    // WM_INITDIALOG): each creation installs its own hook and puts the outer one
    // back afterwards, so none is left behind.
    t_creating = object;
    t_hook = ::SetWindowsHookExA(WH_CBT, CreationHook, nullptr, ::GetCurrentThreadId());
}

CreationScope::~CreationScope() {
    if (t_hook != nullptr) ::UnhookWindowsHookEx(t_hook);
    t_hook = m_previousHook;
    t_creating = m_previousObject;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId) {
    HWND hwnd = nullptr;
    {
        CreationScope scope(this);
        hwnd = ::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId,
                                 ::GetModuleHandleA(nullptr), nullptr);
    }
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

bool CWnd::WalkPreTranslateTree(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd != nullptr; hwnd = ::GetParent(hwnd)) {
        CWnd* object = FromHandle(hwnd);
        if (object != nullptr && object->PreTranslateMessage(msg)) return true;
        if (!(::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) break;  // GetParent would name the owner
    }
    return false;
}

void CWnd::ModifyLong(int index, DWORD remove, DWORD add, UINT swpFlags) const {
    DWORD value = static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, index));
    ::SetWindowLongPtrA(m_hWnd, index, static_cast<LONG_PTR>((value & ~remove) | add));
    if (swpFlags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
}

bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    HWND child = nullptr;
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item != nullptr && item->CtlType != ODT_MENU) child = item->hwndItem;
        break;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr) child = header->hwndFrom;
        break;
    }
    default:
        return false;
    }
    CWnd* object = child != nullptr ? FromHandle(child) : nullptr;
    return object != nullptr && object->OnChildNotify(message, wParam, lParam, result);
}

namespace {
// What a message whose handler failed answers: a window whose creation failed is not made.
LRESULT FailedAnswer(UINT message) {
    if (message == WM_CREATE) return -1;
    return message == WM_NCCREATE ? FALSE : 0;
}
}  // namespace

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = FromHandle(hwnd);
    if (object == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    bool answered = false;
    const LRESULT result = Guarded(FailedAnswer(message), [&] {
        const LRESULT answer = Dispatch(object, hwnd, message, wParam, lParam);
        answered = true;
        return answer;
    });
    // A paint that failed leaves the window invalid, and would be asked for again at once.
    if (!answered && message == WM_PAINT) ::ValidateRect(hwnd, nullptr);
    return result;
}

LRESULT CWnd::Dispatch(CWnd* object, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT reflected = 0;
    if (ReflectToChild(message, wParam, lParam, &reflected)) return reflected;
    // Only top-level windows are asked; the answer is the program's, whatever the window.
    if (AnswerSessionEnd(message, wParam, &reflected)) return reflected;
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
