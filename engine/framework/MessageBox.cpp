#include "MessageBox.h"

#include "WinApp.h"
#include "Wnd.h"

namespace {
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) { Handler() = std::move(handler); }

int AppMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (Handler()) return Handler()(owner, text, caption, type);
    return ::MessageBoxA(owner, text, caption, type);
}

int AppMessageBox(const char* text, UINT type) {
    CWinApp* app = TheApp();
    HWND owner = app != nullptr && app->m_pMainWnd != nullptr ? app->m_pMainWnd->m_hWnd : nullptr;
    return AppMessageBox(owner, text, app != nullptr ? app->m_appTitle : "", type);
}
