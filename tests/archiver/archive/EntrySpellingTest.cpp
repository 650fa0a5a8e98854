// Entries as users type them: any mix of "/" and "\", doubled separators, detours
// through "." and "..", a root with or without its backslash (or none), absolute
// or relative to the current folder. Whatever the spelling, no stored path starts
// with a separator, climbs or holds an empty name, and what the component packs,
// the component and Debian's native 7zz both restore as the tree it came from.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>

#include "WindowTestSupport.h"
#include "archive/StoredPath.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;
using WindowTest::RunNative;
using WindowTest::UnixPath;

namespace {
// A plain path ("C:\a\b" or "a\b") spelled anew, the same way for one seed.
class Speller {
public:
    explicit Speller(uint32_t seed) : m_random(seed) {}

    std::wstring Spell(const std::wstring& path) {
        std::wstring spelled;
        for (size_t i = 0; i < path.size(); ++i) {
            wchar_t c = path[i];
            if (i == 0 && path.size() > 1 && path[1] == L':' && Pick(2) == 0)
                c = static_cast<wchar_t>(c ^ 0x20);  // the drive's letter in the other case
            if (c != L'\\') {
                spelled += c;
                continue;
            }
            spelled += Separator();
            switch (Pick(6)) {
            case 0: spelled += L"." + Separator(); break;
            case 1: spelled += L"elsewhere" + Separator() + L".." + Separator(); break;
            default: break;
            }
        }
        return spelled;
    }
    std::wstring Separator() {
        static const wchar_t* const kForms[] = {L"\\", L"/", L"\\\\", L"//", L"\\/", L"\\"};
        return kForms[Pick(6)];
    }
    // A folder as an entry or a root names it: bare, or with one or two separators.
    std::wstring SpellFolder(const std::wstring& path) {
        std::wstring spelled = Spell(path);
        for (uint32_t n = Pick(3); n > 0; --n) spelled += Separator();
        return spelled;
    }
    uint32_t Pick(uint32_t count) { return std::uniform_int_distribution<uint32_t>(0, count - 1)(m_random); }

private:
    std::mt19937 m_random;
};

// The source: files at two depths, a file without an extension and an empty folder.
std::wstring MakeSource(const std::wstring& folder) {
    const std::wstring data = folder + L"\\data";
    MakeDirectories(data + L"\\sub\\deeper");
    MakeDirectories(data + L"\\pusty");
    WriteFile(data + L"\\file1.txt", "first");
    WriteFile(data + L"\\sub\\file2.txt", NoiseBytes(3000, 5));
    WriteFile(data + L"\\sub\\deeper\\noext", "third");
    return data;
}

class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder) {
        ::GetCurrentDirectoryW(MAX_PATH, m_before);
        ::SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentFolder() { ::SetCurrentDirectoryW(m_before); }

private:
    wchar_t m_before[MAX_PATH] = {};
};
}  // namespace

TEST(EntrySpelling, EverySpellingPacksAPathThatBothRestoreAsTheSourceTree) {
    const std::wstring folder = FreshFolder(L"entry-spelling");
    const std::wstring data = MakeSource(folder);
    const Tree source = ReadTree(data);
    CurrentFolder current(folder);
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Speller speller(seed);
        const bool relative = speller.Pick(3) == 0;
        const bool rooted = speller.Pick(4) != 0;
        // Relative entries start from the current folder, the source's parent.
        const std::wstring base = relative ? L"data" : data;
        std::vector<std::wstring> entries;
        if (speller.Pick(2) == 0) {
            entries = {speller.SpellFolder(base) + speller.Separator() + L"*.*"};
        } else {
            entries = {speller.Spell(base + L"\\file1.txt"), speller.Spell(base + L"\\sub") + speller.Separator() + L"*.*",
                       speller.SpellFolder(base + L"\\pusty")};
        }
        // Without a root the items keep their path below the drive, or below the
        // current folder for relative entries.
        const std::wstring below = rooted ? L"" : relative ? L"\\data" : data.substr(2);

        TSevenZip zip(nullptr);
        Messages messages(zip);
        zip.AddOptions = {AddOptsEnum::AddRecurseDirs};
        if (rooted) zip.AddRootDir = speller.SpellFolder(base);
        for (const std::wstring& entry : entries) zip.Files.Add(entry);
        const std::wstring archive = folder + L"\\" + std::to_wstring(seed) + L".7z";
        zip.SZFileName = archive;
        std::string spelled = "root " + Narrow(zip.AddRootDir);
        for (const std::wstring& entry : entries) spelled += ", entry " + Narrow(entry);
        SCOPED_TRACE(spelled);
        ASSERT_EQ(zip.Add(), 0);
        EXPECT_TRUE(messages.codes.empty());

        ASSERT_GT(zip.List(), 0);
        for (int32_t i = 0; i < zip.Files.Count(); ++i) {
            std::wstring stored = zip.Files[i];
            if (stored.back() == L'\\') stored.pop_back();
            EXPECT_TRUE(IsPlainRelativePath(stored)) << Narrow(stored);
        }

        const std::wstring out = folder + L"\\out-" + std::to_wstring(seed);
        zip.ExtrBaseDir = out;
        EXPECT_EQ(zip.Extract(), 0);
        ExpectSameTree(source, ReadTree(out + below), 20000000);

        const std::wstring native = folder + L"\\native-" + std::to_wstring(seed);
        EXPECT_EQ(RunNative("7zz x -o'" + UnixPath(native) + "' '" + UnixPath(archive) + "' >/dev/null"), 0);
        ExpectSameTree(source, ReadTree(native + below), 20000000, false);
    }
}
