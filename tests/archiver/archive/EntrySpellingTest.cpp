// Entries as users type them, spelled at random: "/" and "\" mixed, doubled,
// detours through "." and "..", a root with or without its backslash (or none),
// absolute or relative to the current folder. No stored path may start with a
// separator, climb or hold an empty name, and the component and Debian's native
// 7zz must both restore what the component packs as the tree it came from.
#include <gtest/gtest.h>

#include <windows.h>

#include "WindowTestSupport.h"
#include "archive/StoredPath.h"
#include "support/ArchiveTestSupport.h"
#include "support/GeneratedInput.h"

using namespace ArchiveTest;

namespace {
std::wstring Separator(InputGenerator& generator) {
    return generator.Pick(std::vector<std::wstring>{L"\\", L"/", L"\\\\", L"//", L"\\/"});
}
// A plain path ("C:\a\b" or "a\b") with every separator and the drive's case spelled
// anew; a folder (`trailing`) with none, one or two separators behind it.
std::wstring Spell(const std::wstring& path, InputGenerator& generator, bool trailing = false) {
    std::wstring spelled;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != L'\\') {
            spelled += i == 0 && path[1] == L':' && generator.OneIn(2) ? static_cast<wchar_t>(path[0] ^ 0x20) : path[i];
            continue;
        }
        spelled += Separator(generator);
        const uint32_t detour = generator.Below(6);
        if (detour == 0) spelled += L"." + Separator(generator);
        if (detour == 1) spelled += L"elsewhere" + Separator(generator) + L".." + Separator(generator);
    }
    for (uint32_t n = trailing ? generator.Below(3) : 0; n > 0; --n) spelled += Separator(generator);
    return spelled;
}
}  // namespace

TEST(EntrySpelling, EverySpellingPacksAPathThatBothRestoreAsTheSourceTree) {
    const std::wstring folder = FreshFolder(L"entry-spelling");
    const std::wstring data = folder + L"\\data";
    MakeDirectories(data + L"\\sub\\deeper");
    MakeDirectories(data + L"\\pusty");
    WriteFile(data + L"\\file1.txt", "first");
    WriteFile(data + L"\\sub\\file2.txt", NoiseBytes(3000, 5));
    WriteFile(data + L"\\sub\\deeper\\noext", "third");
    // Attributes travel with the items: the component stores and restores them.
    WriteFile(data + L"\\sub\\readonly.txt", "do not change");
    WriteFile(data + L"\\sub\\hidden.txt", "not shown");
    ::SetFileAttributesW((data + L"\\sub\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesW((data + L"\\sub\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const Tree source = ReadTree(data);
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ::SetCurrentDirectoryW(folder.c_str());  // relative entries start from the source's parent
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        InputGenerator generator(seed);
        const bool relative = generator.OneIn(3);
        const bool rooted = !generator.OneIn(4);
        const std::wstring base = relative ? L"data" : data;
        std::vector<std::wstring> entries{Spell(base, generator, true) + Separator(generator) + L"*.*"};
        if (generator.OneIn(2))
            entries = {Spell(base + L"\\file1.txt", generator),
                       Spell(base + L"\\sub", generator) + Separator(generator) + L"*.*",
                       Spell(base + L"\\pusty", generator, true)};
        // Without a root the items keep their path below the drive, or below the
        // current folder when relative.
        const std::wstring below = rooted ? L"" : relative ? L"\\data" : data.substr(2);

        TSevenZip zip(nullptr);
        Messages messages(zip);
        zip.AddOptions = {AddOptsEnum::AddRecurseDirs};
        if (rooted) zip.AddRootDir = Spell(base, generator, true);
        std::string spelled = "seed " + std::to_string(seed) + ", root " + Narrow(zip.AddRootDir);
        for (const std::wstring& entry : entries) {
            zip.Files.Add(entry);
            spelled += ", entry " + Narrow(entry);
        }
        SCOPED_TRACE(spelled);
        const std::wstring archive = folder + L"\\" + std::to_wstring(seed) + L".7z";
        zip.SZFileName = archive;
        ASSERT_EQ(zip.Add(), 0);
        EXPECT_TRUE(messages.codes.empty());

        ASSERT_GT(zip.List(), 0);
        for (int32_t i = 0; i < zip.Files.Count(); ++i) {
            std::wstring stored = zip.Files[i];
            if (stored.back() == L'\\') stored.pop_back();  // a folder, as List gives it
            EXPECT_TRUE(IsPlainRelativePath(stored)) << Narrow(stored);
        }
        const std::wstring out = folder + L"\\out-" + std::to_wstring(seed);
        zip.ExtrBaseDir = out;
        EXPECT_EQ(zip.Extract(), 0);
        ExpectSameTree(source, ReadTree(out + below), 20000000);
        const std::wstring native = folder + L"\\native-" + std::to_wstring(seed);
        EXPECT_EQ(WindowTest::RunNative("7zz x -o'" + WindowTest::UnixPath(native) + "' '" +
                                        WindowTest::UnixPath(archive) + "' >/dev/null"),
                  0);
        ExpectSameTree(source, ReadTree(native + below), 20000000, false);
    }
    ::SetCurrentDirectoryW(current);
}
