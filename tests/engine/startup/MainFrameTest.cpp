// The hidden main frame in the test's process: only a Yes to the question lets
// its creation go on.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/MessageBox.h"
#include "product/ProductContext.h"
#include "startup/MainFrame.h"
#include "uninstall/RemovalLog.h"
#include "support/TestProduct.h"

TEST(RunGuard, OnlyAYesToTheQuestionStartsTheRemoval) {
    TestProduct product{"{GUARD-TEST-0001}"};
    product.Register("Guard Test", "C:\\Program Files\\Guard Test");
    product.WriteLog("FILE=C:\\nothing\\here.txt\n");
    ProductContext& context = TheProduct();
    context = ProductContext{};
    context.mode = kModeUninstall;
    context.displayName = "Guard Test";
    context.uninstallLogPath = product.Folder() + "\\uninstall.log";
    context.languageFilePath = product.Folder() + "\\language.lan";
    context.themeFolder = product.Folder() + "\\theme\\";
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
