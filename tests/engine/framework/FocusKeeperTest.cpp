// Disabling the focused control hands the focus to a refuge and takes it back
// once the control is enabled again, with real windows of this thread.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/FocusKeeper.h"

TEST(FocusKeeper, ARefugeDisabledInTurnStillReturnsTheFocusToTheControlFirstLeft) {
    HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 60, nullptr, nullptr, nullptr,
                                    nullptr);
    auto button = [window](int x) {
        return ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, x, 0, 80, 30, window, nullptr, nullptr,
                                 nullptr);
    };
    HWND next = button(0), back = button(90);
    FocusKeeper keeper([&](HWND leaving) { return leaving == next ? back : window; });
    ::SetFocus(next);
    keeper.Enable(next, false);
    keeper.Enable(back, false);
    EXPECT_EQ(::GetFocus(), window);
    keeper.Enable(back, true);
    keeper.Enable(next, true);
    EXPECT_EQ(::GetFocus(), next);
    ::DestroyWindow(window);
}
