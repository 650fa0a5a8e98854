#include <gtest/gtest.h>

#include <regex>

#include "TestPaths.h"
#include "framework/Trace.h"  // the engine's trace lines: "(hh:mm:ss) -TEXT*"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

TEST(TraceMonitor, ReceivesTraceLines) {
    std::string folder = TestFiles::FreshTempFolder("trace-monitor");
    std::string file = folder + "\\trace.txt";
    ChildProcess monitor(NORVANE_TEST_BIN_DIR "\\tracemonitor.exe", "\"" + file + "\"");
    HWND window = monitor.WaitForWindow("BrellixEvent", 10000);
    ASSERT_NE(window, nullptr);

    Trace("UN 1");
    Trace("StartCopyNow 1");
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(monitor.Wait(10000), std::optional<DWORD>(0u));

    std::string lines = TestFiles::Read(file);
    EXPECT_TRUE(std::regex_match(lines, std::regex(R"(\(\d\d:\d\d:\d\d\) -UN 1\*\n\(\d\d:\d\d:\d\d\) -StartCopyNow 1\*\n)")))
        << lines;
}
