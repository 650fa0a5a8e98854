// The archive library comes from the program's folder or the system's, never
// from wherever the user happens to be: a "7za.dll" planted in the current folder
// is not loaded.
#include <gtest/gtest.h>

#include "TestPaths.h"
#include "support/ArchiveTestSupport.h"
#include "support/ChildProcess.h"

using namespace ArchiveTest;

TEST(LibraryLoad, ACopyInTheCurrentFolderIsNeverLoaded) {
    std::wstring folder = FreshFolder(L"library-planted");
    MakeDirectories(folder + L"\\program");
    MakeDirectories(folder + L"\\current");
    const std::wstring bin = Widen(NORVANE_BIN_DIR), program = folder + L"\\program\\archivecli.exe";
    ASSERT_TRUE(::CopyFileW((bin + L"\\archivecli.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW((bin + L"\\7za.dll").c_str(), (folder + L"\\current\\7za.dll").c_str(), FALSE));
    // Without a library of its own the program cannot start its work (exit 3)...
    {
        ChildProcess cli(program, L"list missing.7z", folder + L"\\current", folder + L"\\message.txt");
        EXPECT_EQ(cli.Wait(30000), std::optional<DWORD>(3));
    }
    EXPECT_EQ(ReadFile(folder + L"\\message.txt"),
              "Could not load CreateObject function from 7za.dll\r\nPerhaps 7za.dll not found\n");
    // ...and with one beside it, it does (1: the archive is missing).
    ASSERT_TRUE(::CopyFileW((bin + L"\\7za.dll").c_str(), (folder + L"\\program\\7za.dll").c_str(), FALSE));
    EXPECT_EQ(RunProgram(program, L"list missing.7z", folder + L"\\current", 30000), 1);
}
