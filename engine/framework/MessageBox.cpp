#include "MessageBox.h"

#include "FocusReturn.h"
#include "WinApp.h"

namespace {
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) { Handler() = std::move(handler); }

int AppMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (Handler()) return Handler()(owner, text, caption, type);
    FocusReturn focus;
    return ::MessageBoxA(owner, text, caption, type);
}

int AppMessageBox(const char* text, UINT type) { return AppMessageBox(MainWindowHandle(), text, AppTitle(), type); }
