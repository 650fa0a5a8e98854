// What keeps a run from going where it must not: a trace monitor that stops
// answering costs at most a second a line, and the REMOVEALL guard covers every
// folder the shell knows, for every user.
#include <gtest/gtest.h>

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <thread>

#include "framework/Trace.h"
#include "support/CanaryTree.h"
#include "uninstall/CanonicalPath.h"
#include "uninstall/ProtectedFolders.h"

TEST(RunGuard, ATraceMonitorThatStopsAnsweringDoesNotStopTheRun) {
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE traced = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // A monitor window whose thread is busy with something else for good.
    std::thread monitor([&] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "BrellixEvent";
        ::RegisterClassA(&windowClass);
        HWND window = ::CreateWindowA("BrellixEvent", "", 0, 0, 0, 0, 0, nullptr, nullptr, windowClass.hInstance,
                                      nullptr);
        ::SetEvent(ready);
        ::WaitForSingleObject(release, INFINITE);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
        ::DestroyWindow(window);
        ::UnregisterClassA("BrellixEvent", windowClass.hInstance);
    });
    ::WaitForSingleObject(ready, INFINITE);
    std::thread run([&] {
        Trace("UN 1");
        Trace("UN 2");
        ::SetEvent(traced);
    });
    // Two lines cost two seconds at most; a run that hangs never gets here.
    const bool finished = ::WaitForSingleObject(traced, 15000) == WAIT_OBJECT_0;
    ::SetEvent(release);
    run.join();
    monitor.join();
    EXPECT_TRUE(finished);
    for (HANDLE event : {ready, release, traced}) ::CloseHandle(event);
}

TEST(RunGuard, RemoveAllSparesEveryKnownFolderOfEveryUser) {
    // Read once, as a run does.
    const ProtectedFolders folders = ProtectedFolders::Read();
    auto IsProtectedFromRemoval = [&folders](const std::string& path) {
        const CanonicalPath canonical = CanonicalFullPath(path);
        return !canonical || folders.Protects(PathKey(canonical.path));
    };
    const std::string profile = CanaryTree::KnownFolder(FOLDERID_Profile);
    const std::string profiles = profile.substr(0, profile.rfind('\\'));
    ASSERT_FALSE(profile.empty());
    for (const KNOWNFOLDERID* id :
         {&FOLDERID_ProgramData, &FOLDERID_RoamingAppData, &FOLDERID_LocalAppData, &FOLDERID_Downloads,
          &FOLDERID_StartMenu, &FOLDERID_Programs, &FOLDERID_Music, &FOLDERID_Pictures, &FOLDERID_Videos,
          &FOLDERID_Favorites, &FOLDERID_Public, &FOLDERID_PublicDesktop, &FOLDERID_CommonStartMenu,
          &FOLDERID_Templates, &FOLDERID_Fonts, &FOLDERID_System, &FOLDERID_ProgramFilesCommon}) {
        const std::string folder = CanaryTree::KnownFolder(*id);
        if (folder.empty()) continue;
        EXPECT_TRUE(IsProtectedFromRemoval(folder)) << folder;
        // The same folder of another user, made or still to be made.
        if (folder.rfind(profile + "\\", 0) == 0) {
            const std::string theirs = profiles + "\\SomeoneElse" + folder.substr(profile.size());
            EXPECT_TRUE(IsProtectedFromRemoval(theirs)) << theirs;
            EXPECT_TRUE(IsProtectedFromRemoval(theirs.substr(0, theirs.rfind('\\')))) << theirs;
        }
    }
    // A product's own folder in any of them goes.
    for (const KNOWNFOLDERID* id : {&FOLDERID_ProgramFiles, &FOLDERID_LocalAppData, &FOLDERID_ProgramData})
        EXPECT_FALSE(IsProtectedFromRemoval(CanaryTree::KnownFolder(*id) + "\\Product")) << CanaryTree::KnownFolder(*id);
    EXPECT_FALSE(IsProtectedFromRemoval(profiles + "\\SomeoneElse\\AppData\\Local\\Product"));
}
