// Disabling the focused control hands the focus to a refuge and takes it back
// once the control is enabled again, with real windows of this thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/FocusKeeper.h"

TEST(FocusKeeper, TheFocusComesBackToTheControlFirstLeftUnlessTheUserMovedIt) {
    // Steps of buttons A, B, C: "-X" disables X, "+X" enables it, "*X" is the
    // user's click on X; each followed by the button expected to have the focus.
    const std::vector<std::string> runs = {
        "-A B +A A",
        // Next, then Back: each refuge disabled in turn; the focus ends on the first control again.
        "-A B -B C +B C +A A",
        "-A B *C C +A C",
        "-C A +C A",  // a control without the focus changes nothing
    };
    for (const std::string& run : runs) {
        HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 60, nullptr, nullptr,
                                        nullptr, nullptr);
        HWND buttons[3];
        for (int i = 0; i < 3; ++i)
            buttons[i] = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE, 90 * i, 0, 80, 30, window, nullptr,
                                           nullptr, nullptr);
        // The refuge: the next button still enabled.
        FocusKeeper keeper([&](HWND leaving) {
            int i = 0;
            while (buttons[i] != leaving) ++i;
            for (int step = 1; step < 3; ++step)
                if (::IsWindowEnabled(buttons[(i + step) % 3])) return buttons[(i + step) % 3];
            return window;
        });
        ::SetFocus(buttons[0]);
        for (size_t at = 0; at + 3 < run.size(); at += 5) {
            HWND button = buttons[run[at + 1] - 'A'];
            if (run[at] == '*')
                ::SetFocus(button);
            else
                keeper.Enable(button, run[at] == '+');
            EXPECT_EQ(::GetFocus(), buttons[run[at + 3] - 'A']) << run << " at " << at;
        }
        ::DestroyWindow(window);
    }
}
