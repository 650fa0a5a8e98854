// A restore writes each file under a temporary name and puts it in place only
// when the library reports the item sound: over existing files, a damaged item, a
// missing or wrong password, a cancel or a killed program leave them as they were,
// and the result says whether every requested item was written.
#include <gtest/gtest.h>

#include <functional>

#include "TestPaths.h"
#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"
#include "support/ChildProcess.h"

using namespace ArchiveTest;

namespace {
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (const DWORD start = ::GetTickCount(); !condition(); ::Sleep(5))
        if (::GetTickCount() - start > timeoutMs) return condition();
    return true;
}

std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const auto& [name, entry] : ReadTree(folder)) names.push_back(name);
    return names;
}
}  // namespace

TEST(RestoreSafety, OnlySoundItemsReplaceExistingFilesWhateverThePasswordAnswer) {
    const std::wstring folder = FreshFolder(L"restore-mixed");
    const auto packed = MakeMixedArchive(folder);
    constexpr int32_t kFailed = 1;  // the library's own failure code, or 1
    struct Case {
        const char* what;
        const wchar_t* property;  // Password
        const wchar_t* answer;    // OnPassword's, null: no handler
        bool cancel;
        int32_t result;
        bool secretWritten;
        int asked;
    };
    const Case cases[] = {
        {"nobody to ask", L"", nullptr, false, kFailed, false, 0},
        {"declined", L"", L"", true, -1, false, 1},
        {"wrong answer", L"", L"zle", false, kFailed, false, 1},
        {"right answer", L"", L"sekret", false, kFailed, true, 1},
        {"right property", L"sekret", L"never asked", false, kFailed, true, 0},
    };
    for (const Case& test : cases) {
        const std::wstring out = folder + L"\\out";
        RemoveTree(out);
        MakeDirectories(out);
        for (const auto& [name, content] : packed) WriteFile(out + L"\\" + name, "old " + Narrow(name));
        TSevenZip zip(nullptr);
        Messages messages(zip);
        zip.SZFileName = folder + L"\\arc.7z";
        zip.ExtrBaseDir = out;
        zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
        zip.Password = test.property;
        int asked = 0;
        if (test.answer != nullptr)
            zip.OnPassword = [&](TObject* sender, std::wstring& password, bool& cancel) {
                EXPECT_EQ(sender, &zip);
                ++asked;
                password = test.answer;
                cancel = test.cancel;
            };
        const int32_t result = zip.Extract();
        if (test.result == kFailed) {
            EXPECT_NE(result, 0) << test.what;
            EXPECT_NE(result, -1) << test.what;
        } else {
            EXPECT_EQ(result, test.result) << test.what;
        }
        EXPECT_EQ(asked, test.asked) << test.what;
        EXPECT_EQ(messages.codes.at(0), kCRCError) << test.what;
        EXPECT_EQ(Names(out), (std::vector<std::wstring>{L"damaged.txt", L"good.txt", L"secret.txt"})) << test.what;
        EXPECT_EQ(ReadFile(out + L"\\damaged.txt"), "old damaged.txt") << test.what;
        EXPECT_TRUE(ReadFile(out + L"\\good.txt") == packed.at(L"good.txt")) << test.what;
        EXPECT_TRUE(ReadFile(out + L"\\secret.txt") ==
                    (test.secretWritten ? packed.at(L"secret.txt") : std::string("old secret.txt")))
            << test.what;
    }
    // The sound items alone: every requested one written, a success.
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = folder + L"\\sound";
    zip.Password = L"sekret";
    zip.Files.Add(L"good.txt");
    zip.Files.Add(L"secret.txt");
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(Names(folder + L"\\sound"), (std::vector<std::wstring>{L"good.txt", L"secret.txt"}));
}

TEST(RestoreSafety, ACancelledOrKilledRestoreLeavesTheOldFilesAndNoTemporaryOne) {
    const std::wstring folder = FreshFolder(L"restore-cancel");
    MakeDirectories(folder + L"\\src");
    // Compressed, so that the library reports progress inside each file.
    std::string content;
    for (int line = 0; content.size() < (4u << 20); ++line) content += "wiersz " + std::to_string(line * 7919 % 100003) + "\n";
    for (int i = 0; i < 8; ++i) WriteFile(folder + L"\\src\\part" + std::to_wstring(i) + L".bin", content);
    ASSERT_EQ(Run7z(L"a -t7z -mx1 -ms=off ..\\arc.7z *", folder + L"\\src"), 0);
    const std::wstring out = folder + L"\\out";
    MakeDirectories(out);
    std::vector<std::wstring> parts;
    for (int i = 0; i < 8; ++i) parts.push_back(L"part" + std::to_wstring(i) + L".bin");
    for (const std::wstring& part : parts) WriteFile(out + L"\\" + part, "old");

    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = out;
    zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
    zip.OnProgress = [&](TObject*, const std::wstring& name, uint64_t, uint64_t file) {
        if (FileNamePart(name) == L"part0.bin" && file > 0) zip.Cancel();  // half-way through it
    };
    EXPECT_NE(zip.Extract(), 0);
    EXPECT_EQ(Names(out), parts);
    EXPECT_EQ(ReadFile(out + L"\\part0.bin"), "old");

    // The process killed while it writes: its temporary file goes with it.
    ChildProcess cli(NORVANE_BIN_DIR "\\archivecli.exe",
                     "extract \"" + Narrow(folder) + "\\arc.7z\" \"" + Narrow(out) + "\" --overwrite --quiet");
    ASSERT_TRUE(WaitUntil([&] { return !TemporaryFiles(out).empty(); }, 60000));
    cli.Terminate();
    EXPECT_TRUE(WaitUntil([&] { return TemporaryFiles(out).empty(); }, 10000));
    EXPECT_EQ(Names(out), parts);
    for (const std::wstring& part : parts) {
        const std::string now = ReadFile(out + L"\\" + part);
        EXPECT_TRUE(now == "old" || now == content) << Narrow(part);
    }
}
