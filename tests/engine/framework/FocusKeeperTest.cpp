// Disabling the focused control hands the focus to a refuge and takes it back
// once the control is enabled again, with real windows of this thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "framework/FocusKeeper.h"

namespace {
// A window with buttons A, B and C; a disabled control's refuge is the next usable one.
struct ThreeButtons {
    ThreeButtons() {
        window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 60, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        for (int i = 0; i < 3; ++i)
            buttons[i] = ::CreateWindowExA(0, "BUTTON", std::string(1, static_cast<char>('A' + i)).c_str(),
                                           WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10 + 90 * i, 10, 80, 30, window,
                                           nullptr, ::GetModuleHandleA(nullptr), nullptr);
    }
    ~ThreeButtons() { ::DestroyWindow(window); }
    HWND Refuge(HWND leaving) const {
        for (size_t i = 1; i <= buttons.size(); ++i) {
            HWND candidate = buttons[(Index(leaving) + i) % buttons.size()];
            if (candidate != leaving && ::IsWindowEnabled(candidate)) return candidate;
        }
        return window;
    }
    size_t Index(HWND button) const {
        for (size_t i = 0; i < buttons.size(); ++i)
            if (buttons[i] == button) return i;
        return 0;
    }
    char Focused() const {
        HWND focus = ::GetFocus();
        for (size_t i = 0; i < buttons.size(); ++i)
            if (buttons[i] == focus) return static_cast<char>('A' + i);
        return focus == nullptr ? '0' : '?';
    }
    HWND window;
    std::array<HWND, 3> buttons{};
};
}  // namespace

TEST(FocusKeeper, TheFocusComesBackToTheControlFirstLeftUnlessTheUserMovedIt) {
    // Steps: "-X" disables X, "+X" enables it, "*X" is the user's click on X; then the focus expected.
    struct Step {
        const char* action;
        char focus;
    };
    const std::vector<std::vector<Step>> runs = {
        {{"-A", 'B'}, {"+A", 'A'}},
        // Next, then Back: each refuge disabled in turn; the focus ends on the first control again.
        {{"-A", 'B'}, {"-B", 'C'}, {"+B", 'C'}, {"+A", 'A'}},
        {{"-A", 'B'}, {"*C", 'C'}, {"+A", 'C'}},
        // A control not holding the focus changes nothing.
        {{"-C", 'A'}, {"+C", 'A'}},
    };
    for (size_t run = 0; run < runs.size(); ++run) {
        ThreeButtons page;
        FocusKeeper keeper([&page](HWND leaving) { return page.Refuge(leaving); });
        ::SetFocus(page.buttons[0]);
        ASSERT_EQ(page.Focused(), 'A');
        for (const Step& step : runs[run]) {
            HWND button = page.buttons[static_cast<size_t>(step.action[1] - 'A')];
            if (step.action[0] == '*')
                ::SetFocus(button);
            else
                keeper.Enable(button, step.action[0] == '+');
            EXPECT_EQ(page.Focused(), step.focus) << "run " << run << ", after " << step.action;
        }
    }
}
