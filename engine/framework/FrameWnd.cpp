#include "FrameWnd.h"

#include "WinApp.h"

namespace {
const char kFrameClass[] = "NorvaneFrame";
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, void* /*context*/) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HICON icon = ::LoadIconA(instance, MAKEINTRESOURCEA(resourceId));
    if (!RegisterWindowClass(kFrameClass, CS_DBLCLKS, icon, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)))
        return FALSE;
    char title[256] = {};
    ::LoadStringA(instance, resourceId, title, sizeof title);
    return CreateEx(0, kFrameClass, title, style & ~FWS_ADDTOTITLE, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, parent != nullptr ? parent->m_hWnd : nullptr, nullptr);
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA) { return 0; }

void CFrameWnd::OnTimer(UINT_PTR) {}

bool CFrameWnd::OnCommand(WORD, WORD, HWND) { return false; }

LRESULT CFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lParam));
    case WM_TIMER:
        OnTimer(wParam);
        return DefaultProc(message, wParam, lParam);
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
        break;
    case WM_DESTROY: {
        CWinApp* app = TheApp();
        if (app != nullptr && app->m_pMainWnd == this) ::PostQuitMessage(0);
        break;
    }
    }
    return DefaultProc(message, wParam, lParam);
}
