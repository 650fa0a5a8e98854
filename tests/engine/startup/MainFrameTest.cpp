// The hidden main frame in the test's process: only a Yes to the question lets
// its creation go on.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/MessageBox.h"
#include "framework/SessionEnd.h"
#include "product/ProductContext.h"
#include "startup/MainFrame.h"
#include "uninstall/RemovalLog.h"
#include "support/TestProduct.h"

namespace {
// The product's context as the startup leaves it for the frame.
ProductContext& ContextFor(const TestProduct& product, int mode, const char* name) {
    ProductContext& context = TheProduct();
    context = ProductContext{};
    context.mode = mode;
    context.displayName = name;
    context.uninstallLogPath = product.Folder() + "\\uninstall.log";
    context.languageFilePath = product.Folder() + "\\language.lan";
    context.themeFolder = product.Folder() + "\\theme\\";
    return context;
}
}  // namespace

TEST(RunGuard, OnlyAYesToTheQuestionStartsTheRemoval) {
    TestProduct product{"{GUARD-TEST-0001}"};
    product.Register("Guard Test", "C:\\Program Files\\Guard Test");
    product.WriteLog("FILE=C:\\nothing\\here.txt\n");
    ContextFor(product, kModeUninstall, "Guard Test");
    // 0 is what the platform answers when it cannot show the box at all.
    for (int answer : {0, IDNO, IDCANCEL, IDABORT, IDYES}) {
        std::vector<std::string> boxes;
        SetMessageBoxHandler([&](HWND, const char* text, const char*, UINT) {
            boxes.push_back(text);
            return answer;
        });
        RemovalLog noLog;
        CMainFrame frame(noLog);
        const BOOL created = frame.LoadFrame(1, WS_OVERLAPPEDWINDOW);
        EXPECT_EQ(created != FALSE, answer == IDYES) << "answer " << answer;
        EXPECT_EQ(boxes.size(), 1u) << "answer " << answer;
        if (created) ::DestroyWindow(frame.m_hWnd);  // before its timer starts the run
    }
    SetMessageBoxHandler(nullptr);
}

// The frame in the test's process, its run to the end: the end of the session
// is held only while the worker runs, with the product's name on the frame.
TEST(MainFrame, HoldsTheSessionEndWithTheProductsNameOnlyWhileTheWorkerRuns) {
    TestProduct product{"{SESSION-HOLD-0001}"};
    product.Register("Hold Test", "C:\\Program Files\\Hold Test");
    product.WriteLog("TOTALFILE=1\nFILE=C:\\nothing\\here.txt\n");
    ContextFor(product, kModeSilent, "Hold Test").productCode = product.Code();
    std::vector<std::pair<HWND, std::wstring>> calls;
    HWND frameWindow = nullptr;
    LRESULT duringRun = TRUE;
    SetBlockReasonHandler([&](HWND owner, const std::optional<std::wstring>& reason) {
        calls.emplace_back(owner, reason.value_or(L"(destroyed)"));
        if (reason) duringRun = ::SendMessageA(frameWindow, WM_QUERYENDSESSION, 0, 0);
    });
    RemovalLog noLog;
    CMainFrame frame(noLog);
    ASSERT_TRUE(frame.LoadFrame(1, WS_OVERLAPPEDWINDOW));
    frameWindow = frame.m_hWnd;
    EXPECT_EQ(::SendMessageA(frameWindow, WM_QUERYENDSESSION, 0, 0), TRUE);  // before the timer starts the run
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    EXPECT_EQ(duringRun, FALSE);
    EXPECT_EQ(::SendMessageA(frameWindow, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(calls, (std::vector<std::pair<HWND, std::wstring>>{{frameWindow, L"Removing Hold Test\u2026"},
                                                                  {frameWindow, L"(destroyed)"}}));
    SetBlockReasonHandler(nullptr);
    ::DestroyWindow(frameWindow);
}
