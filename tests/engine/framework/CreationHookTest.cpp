// The creation hook binds the window it was set for. The system may create the
// thread's input-method window inside the creation of a first top-level window,
// where it reaches the hook first; here a later hook does the same.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/Wnd.h"

namespace {
const char kWindowClass[] = "NorvaneHookTestWindow";
const char* t_inputMethodClass = nullptr;
HWND t_inputMethodWindow = nullptr;

LRESULT CALLBACK MakeInputMethodWindow(int code, WPARAM wParam, LPARAM lParam) {
    char name[64] = {};
    if (code == HCBT_CREATEWND && t_inputMethodWindow == nullptr &&
        ::GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name) && ::lstrcmpA(name, kWindowClass) == 0)
        t_inputMethodWindow = ::CreateWindowExA(0, t_inputMethodClass, "Default IME", WS_POPUP, 0, 0, 0, 0, nullptr,
                                                nullptr, ::GetModuleHandleA(nullptr), nullptr);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

TEST(CreationHook, PassesOverInputMethodWindowsMadeOnTheWay) {
    for (auto [name, style] : {std::pair{kWindowClass, 0u}, {"NorvaneHookTestIme", UINT{CS_IME}}, {"IME", 0u}}) {
        WNDCLASSA windowClass{};
        windowClass.style = style;
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = name;
        ::RegisterClassA(&windowClass);
    }
    for (const char* inputMethodClass : {"NorvaneHookTestIme", "IME"}) {
        t_inputMethodClass = inputMethodClass;
        t_inputMethodWindow = nullptr;
        CWnd window;
        HWND created = nullptr;
        {
            CreationScope scope(&window);
            // Installed after the scope's hook: it runs first, as the system's creation does.
            HHOOK hook = ::SetWindowsHookExA(WH_CBT, MakeInputMethodWindow, nullptr, ::GetCurrentThreadId());
            created = ::CreateWindowExA(0, kWindowClass, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                        ::GetModuleHandleA(nullptr), nullptr);
            ::UnhookWindowsHookEx(hook);
        }
        ASSERT_NE(t_inputMethodWindow, nullptr) << inputMethodClass;
        EXPECT_EQ(CWnd::FromHandle(t_inputMethodWindow), nullptr) << inputMethodClass;
        EXPECT_EQ(window.m_hWnd, created) << inputMethodClass;
        ::DestroyWindow(t_inputMethodWindow);
    }
}
