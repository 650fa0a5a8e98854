// An exception never leaves a window procedure or the application's Main: it
// ends the one action, through the message box seam. (A worker thread's is a
// removal's: see the removal's tests.)
#include <gtest/gtest.h>

#include <windows.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/MessageBox.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

namespace {
constexpr UINT kThrow = WM_APP + 1;
constexpr UINT kThrowWhileReporting = WM_APP + 2;

// Raises on its own messages and on a paint.
class FailingWindow : public CWnd {
public:
    int paints = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kThrow) throw std::runtime_error("boom");
        if (message == kThrowWhileReporting) throw 7;
        if (message == WM_PAINT) {
            ++paints;
            throw std::bad_alloc();
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class Reports : public ::testing::Test {
protected:
    void SetUp() override {
        CWnd::RegisterWindowClass("NorvaneFailingWindow", 0, nullptr, nullptr);
        SetMessageBoxHandler([this](HWND, const char* text, const char*, UINT) {
            reports.push_back(text);
            // A box runs messages: a handler failing meanwhile is not shown on top of it.
            if (reports.size() == 1 && window.m_hWnd != nullptr) window.SendMessage(kThrowWhileReporting);
            return IDOK;
        });
    }
    void TearDown() override { SetMessageBoxHandler({}); }

    static bool Create(FailingWindow& target) {
        const DWORD style = WS_POPUP | WS_VISIBLE;  // shown: only then is it painted
        return target.CreateEx(0, "NorvaneFailingWindow", "", style, 0, 0, 50, 50, nullptr, nullptr) != FALSE;
    }

    FailingWindow window;
    std::vector<std::string> reports;
};

const std::string kPrefix = "The action could not be completed: ";
}  // namespace

TEST_F(Reports, AWindowProcedureAnswersAsFailedAndReportsOnce) {
    ASSERT_TRUE(Create(window));
    EXPECT_EQ(window.SendMessage(kThrow), 0);
    EXPECT_EQ(reports, std::vector<std::string>{kPrefix + "boom"});

    // A paint that failed is not asked for again and again.
    reports.clear();
    ::InvalidateRect(window.m_hWnd, nullptr, FALSE);
    ::UpdateWindow(window.m_hWnd);
    RECT update{};
    EXPECT_FALSE(::GetUpdateRect(window.m_hWnd, &update, FALSE));
    EXPECT_EQ(window.paints, 1);
    EXPECT_EQ(reports, std::vector<std::string>{kPrefix + "not enough memory"});
}

TEST_F(Reports, AMainEndsWithItsProgramsFailure) {
    struct FailingApp : CWinApp {
        BOOL InitInstance() override { throw std::runtime_error("start"); }
    } app;
    EXPECT_EQ(app.Main(::GetModuleHandleA(nullptr)), CWinApp::kExitAfterException);
    EXPECT_EQ(reports.back(), kPrefix + "start");
}
