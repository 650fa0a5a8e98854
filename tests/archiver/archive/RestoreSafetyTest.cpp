// A restore puts a file in place only when the library reports its item sound:
// over existing files, a damaged item, a missing password, a cancel or a killed
// program leave them as they were, and the result says whether all was written.
#include <gtest/gtest.h>

#include <functional>

#include "TestPaths.h"
#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"
#include "support/ChildProcess.h"

using namespace ArchiveTest;

TEST(RestoreSafety, DamagedOrLockedItemsLeaveTheFilesTheyWereToReplace) {
    const std::wstring folder = FreshFolder(L"restore-mixed");
    const auto packed = MakeMixedArchive(folder);
    const std::wstring out = folder + L"\\out";
    MakeDirectories(out);
    for (const auto& [name, content] : packed) WriteFile(out + L"\\" + name, "old");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = out;
    zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
    EXPECT_EQ(zip.Extract(), 1);  // no password and nobody to ask; the library itself saw no failure
    EXPECT_EQ(zip.ErrCode, kCRCError);
    EXPECT_EQ(Names(out), (std::vector<std::wstring>{L"damaged.txt", L"good.txt", L"secret.txt"}));
    EXPECT_EQ(ReadFile(out + L"\\damaged.txt"), "old");
    EXPECT_EQ(ReadFile(out + L"\\secret.txt"), "old");
    EXPECT_TRUE(ReadFile(out + L"\\good.txt") == packed.at(L"good.txt"));
    // The next extraction starts afresh.
    ASSERT_EQ(Run7z(L"a -t7z good.7z good.txt", folder + L"\\src"), 0);
    zip.SZFileName = folder + L"\\src\\good.7z";
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(zip.ErrCode, kSuccess);
}

TEST(RestoreSafety, ACancelledOrKilledRestoreLeavesTheOldFilesAndNoTemporaryOne) {
    const std::wstring folder = FreshFolder(L"restore-cancel"), out = folder + L"\\out";
    MakeDirectories(folder + L"\\src");
    MakeDirectories(out);
    std::string content;  // compressed, so that the library reports progress inside each file
    for (int line = 0; content.size() < (4u << 20); ++line) content += std::to_string(line * 7919 % 100003) + "\n";
    std::vector<std::wstring> parts;
    for (int i = 0; i < 8; ++i) {
        parts.push_back(L"part" + std::to_wstring(i) + L".bin");
        WriteFile(folder + L"\\src\\" + parts.back(), content);
        WriteFile(out + L"\\" + parts.back(), "old");
    }
    ASSERT_EQ(Run7z(L"a -t7z -mx1 -ms=off ..\\arc.7z *", folder + L"\\src"), 0);
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = out;
    zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
    zip.OnProgress = [&](TObject*, const std::wstring& name, uint64_t, uint64_t file) {
        if (FileNamePart(name) == L"part0.bin" && file > 0) zip.Cancel();  // half-way through it
    };
    Messages messages(zip);
    EXPECT_NE(zip.Extract(), 0);
    EXPECT_EQ(messages.codes.at(0), kUserCanceled);
    EXPECT_FALSE(zip.CancelRequested());
    EXPECT_EQ(Names(out), parts);
    EXPECT_EQ(ReadFile(out + L"\\part0.bin"), "old");

    // The process killed while it writes: the system removes its temporary file.
    auto waitUntil = [](const std::function<bool()>& condition) {
        for (const DWORD start = ::GetTickCount(); !condition(); ::Sleep(5))
            if (::GetTickCount() - start > 60000) return false;
        return true;
    };
    ChildProcess cli(NORVANE_BIN_DIR "\\archivecli.exe",
                     "extract \"" + Narrow(folder) + "\\arc.7z\" \"" + Narrow(out) + "\" --overwrite --quiet");
    // Killed once it writes into a temporary file, which is marked to go with the
    // process before its first byte; a kill in the instant between the file's
    // creation and that mark would leave it, and no call of the system closes it.
    auto writing = [&] {
        WIN32_FIND_DATAW found{};
        const HANDLE search = ::FindFirstFileW((out + L"\\~dz*.tmp").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return false;
        ::FindClose(search);
        return found.nFileSizeLow != 0 || found.nFileSizeHigh != 0;
    };
    ASSERT_TRUE(waitUntil(writing));
    cli.Terminate();
    EXPECT_TRUE(waitUntil([&] { return TemporaryFiles(out).empty(); }));
    EXPECT_EQ(Names(out), parts);
    for (const std::wstring& part : parts) {
        const std::string now = ReadFile(out + L"\\" + part);
        EXPECT_TRUE(now == "old" || now == content) << Narrow(part);
    }
}
