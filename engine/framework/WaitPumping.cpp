#include "WaitPumping.h"

#include "Wnd.h"

bool WaitPumping(HANDLE handle) {
    for (;;) {
        DWORD result = ::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            const bool unicode = msg.hwnd != nullptr && ::IsWindowUnicode(msg.hwnd);
            BOOL got = unicode ? ::GetMessageW(&msg, nullptr, 0, 0) : ::GetMessageA(&msg, nullptr, 0, 0);
            // The page's keyboard handling (Enter swallowed, Tab between controls)
            // holds while the removal runs too.
            if (got > 0 && !CWnd::WalkPreTranslateTree(&msg)) {
                ::TranslateMessage(&msg);
                if (unicode)
                    ::DispatchMessageW(&msg);
                else
                    ::DispatchMessageA(&msg);
            }
            if (::WaitForSingleObject(handle, 0) == WAIT_OBJECT_0) return true;
        }
    }
}

bool WaitTakingSentMessages(HANDLE handle) {
    for (;;) {
        const DWORD result = ::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;
        MSG msg;
        // Peeking delivers the messages other threads send; nothing posted is taken.
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
