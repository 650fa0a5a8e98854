#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Component.h"
#include "framework/Control.h"
#include "framework/Exception.h"
#include "framework/Set.h"

namespace {
enum class Flag : uint8_t { A, B, C, D, E };

struct Tracked : TComponent {
    Tracked(TComponent* owner, int& alive) : TComponent(owner), alive(alive) { ++alive; }
    ~Tracked() override { --alive; }
    int& alive;
};

// Raises what it is told to on WM_APP.
class TFailingControl : public TWinControl {
public:
    TFailingControl() : TWinControl(nullptr, nullptr) {
        RegisterWindowClass(L"TFailingControl");
        CreateHandle(L"TFailingControl", WS_POPUP);
    }
    std::function<void()> raise;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) raise();
        return TWinControl::WindowProc(message, wParam, lParam);
    }
};

// Answers the message boxes the thread shows as they come up, keeping their texts.
std::vector<std::wstring> g_boxTexts;
LRESULT CALLBACK AnswerBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        wchar_t text[256] = {};
        if (::GetDlgItemTextW(reinterpret_cast<HWND>(wParam), 0xFFFF, text, 256) > 0) {
            g_boxTexts.push_back(text);
            ::PostMessageW(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDOK, 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

TEST(WindowProcedure, AFailedHandlerIsShownUnlessSilentAndTheWindowGoesOn) {
    TFailingControl control;
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, AnswerBox, nullptr, ::GetCurrentThreadId());
    struct {
        std::function<void()> raise;
        const wchar_t* shown;
    } cases[] = {
        {[] { throw Exception("Nie ma pliku"); }, L"Nie ma pliku"},
        {[] { throw EAbort(); }, nullptr},
        {[] { throw std::bad_alloc(); }, L"Not enough memory"},
        {[] { throw 42; }, L"An exception of unknown type"},
    };
    std::vector<std::wstring> expected;
    for (const auto& c : cases) {
        control.raise = c.raise;
        EXPECT_EQ(::SendMessageW(control.Handle(), WM_APP, 0, 0), 0);
        if (c.shown != nullptr) expected.push_back(c.shown);
    }
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_boxTexts, expected);
}

TEST(Set, HoldsValueNAsBitNOfOneByte) {
    TSet<Flag> set{Flag::A, Flag::E};
    EXPECT_EQ(set.Bits(), 0x11);
    EXPECT_TRUE(set.Contains(Flag::E));
    EXPECT_FALSE(set.Contains(Flag::B));
    set.Include(Flag::B).Exclude(Flag::A);
    EXPECT_EQ(set.Bits(), 0x12);
    EXPECT_EQ(TSet<Flag>::FromBits(0x12), set);
    EXPECT_TRUE(TSet<Flag>().Empty());
    static_assert(sizeof(TSet<Flag>) == 1);
}

TEST(Component, OwnerFreesWhatItOwnsAndAFreedComponentLeavesItsOwner) {
    int alive = 0;
    {
        TComponent owner(nullptr);
        new Tracked(&owner, alive);
        auto* second = new Tracked(&owner, alive);
        EXPECT_EQ(owner.Components().size(), 2u);
        EXPECT_EQ(second->Owner(), &owner);
        delete second;
        EXPECT_EQ(owner.Components().size(), 1u);
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}
