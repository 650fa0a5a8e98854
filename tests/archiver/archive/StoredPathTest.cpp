// Stored paths as Windows reads them: the forms other tools write land where
// 7-Zip lands them; what would not land as a plain file inside the base folder is
// refused with code 12, whatever form it takes.
#include <gtest/gtest.h>

#include <windows.h>

#include "archive/ExtractPath.h"
#include "archive/StoredPath.h"
#include "archive/WideFiles.h"
#include "archive/WidePath.h"
#include "properties/StoredPathProperties.h"
#include "support/ArchiveTestSupport.h"
#include "support/GeneratedInput.h"

using namespace ArchiveTest;

namespace {
const std::vector<std::wstring> kRefused = {
    L"", L".", L"\\", L"..\\up.txt", L"a\\..\\..\\up.txt", L"a/../../up.txt", L"\\..\\up.txt", L"C:\\..\\up.txt",
    L"a\\.. \\up.txt", L"a\\...\\up.txt",
    // A ":" other than a drive root's: alternate data streams, a drive's current folder.
    L"notes.txt:hidden", L"dir\\file:stream:$DATA", L"a:b", L"\\C:\\x.txt", L"C:x.txt",
    // Device names, with or without extension, in any component and case.
    L"CON", L"nul", L"Aux.txt", L"prn.log.txt", L"sub\\COM1", L"LPT9.dat", L"com\u00B9", L"lpt\u00B3.txt", L"COM0", L"lpt0.log",
    L"NUL .txt", L"sub\\conout$", L"CONIN$.x", L"\\\\.\\CON",
    // Names the platform would change: trailing dots and blanks.
    L"file.", L"file ", L"dir.\\file.txt", L"dir \\file.txt",
    // The extended form.
    L"\\\\?\\C:\\x.txt", L"//?/C:/x.txt",
    // Characters no name may hold.
    L"a*b.txt", L"what?.txt", L"a\"b", L"a<b", L"a>b", L"a|b", L"tab\there", std::wstring(L"nul\0byte", 8)};

const std::vector<std::wstring> kAccepted = {L"plain.txt",     L"dir\\sub\\file.txt", L"mixed/separators\\ok.txt",
                                             L"..hidden",      L".config",            L"a..b",
                                             L"CONSOLE.txt",   L"COM10",              L"LPT\u2074",
                                             L"com.txt",       L"nul_file",           L" leading blank",
                                             L"zażółć.txt",    L"x.abcdefghijk",      L"dir.d\\f"};

// Forms other tools write land where 7-Zip's own extraction lands them, but for a
// drive root ("c_\x.txt" there) and a "..", which takes back the name before it.
const std::vector<std::pair<std::wstring, std::wstring>> kLanded = {
    {L"c:/x.txt", L"x.txt"}, {L"a\\..\\b.txt", L"b.txt"}, {L"\\sub\\a.txt", L"sub\\a.txt"},
    {L"tmp/x//f.txt", L"tmp\\x\\f.txt"}, {L"./d\\.\\e.txt", L"d\\e.txt"}, {L"empty\\\\", L"empty"},
    {L"\\\\server\\share\\u.txt", L"server\\share\\u.txt"}};
}  // namespace

TEST(StoredPath, WindowsFormsLandAsPlainFilesInsideTheBaseOrAreRefused) {
    std::wstring base = FreshFolder(L"stored-forms");
    std::wstring landing;
    for (const std::wstring& path : kRefused) EXPECT_FALSE(LandingInsideBase(base, path, landing)) << Narrow(path);
    for (const std::wstring& path : kAccepted) EXPECT_TRUE(LandingInsideBase(base, path, landing)) << Narrow(path);
    for (const auto& [path, landed] : kLanded) {
        EXPECT_TRUE(LandingInsideBase(base, path, landing)) << Narrow(path);
        EXPECT_EQ(landing, landed) << Narrow(path);
    }
    // Names of 32,000 characters: one component longer than any file system
    // takes, or a path of short ones longer than the platform's longest.
    EXPECT_FALSE(LandingInsideBase(base, std::wstring(32000, L'a'), landing));
    EXPECT_FALSE(LandingInsideBase(base, std::wstring(256, L'a'), landing));
    EXPECT_TRUE(LandingInsideBase(base, std::wstring(255, L'a'), landing));
    std::wstring deep;
    while (deep.size() < 32800) deep += L"abc\\";
    EXPECT_FALSE(LandingInsideBase(base, deep + L"x.txt", landing));
    EXPECT_TRUE(LandingInsideBase(base, deep.substr(0, 4000) + L"x.txt", landing));
}

TEST(StoredPath, AnArchiveOfHostileNamesWritesOnlyItsPlainItems) {
    std::wstring folder = FreshFolder(L"stored-archive");
    WriteFile(folder + L"\\payload.txt", "payload");
    std::vector<std::wstring> names;
    for (const std::wstring& path : kRefused)
        if (!path.empty() && path.find(L'\0') == std::wstring::npos) names.push_back(path);
    names.push_back(std::wstring(500, L'x') + L".txt");
    names.push_back(L"\\rooted.txt");  // lands below the base, as 7-Zip lands it
    names.push_back(L"plain\\kept.txt");
    TSevenZip zip(nullptr);
    size_t next = 0;
    zip.OnSetAddName = [&](TObject*, uint32_t, std::wstring& name) { name = names[next++]; };
    zip.SZFileName = folder + L"\\hostile.7z";
    for (size_t i = 0; i < names.size(); ++i) zip.Files.Add(folder + L"\\payload.txt");
    ASSERT_EQ(zip.Add(), 0);
    zip.OnSetAddName = nullptr;
    zip.Files.Clear();
    Messages messages(zip);
    MakeDirectories(folder + L"\\sandbox\\base");
    zip.ExtrBaseDir = folder + L"\\sandbox\\base";
    EXPECT_EQ(zip.Extract(), 1);  // the library saw no failure; the refusals are one
    EXPECT_EQ(zip.ErrCode, kUnsafePath);  // the first error, kept past the sound items
    // The library rewrites a few forms itself before they reach the component
    // (an extended or rooted prefix goes): those land inside as plain names.
    // Every other one is refused with 12.
    for (int32_t code : messages.codes) EXPECT_EQ(code, kUnsafePath);
    EXPECT_GE(messages.codes.size(), names.size() * 3 / 4);
    Tree written = ReadTree(folder + L"\\sandbox");
    for (const auto& [name, entry] : written) {
        EXPECT_TRUE(name.rfind(L"base", 0) == 0) << Narrow(name);
        EXPECT_TRUE(IsPlainRelativePath(name)) << Narrow(name);
    }
    EXPECT_EQ(ReadFile(folder + L"\\sandbox\\base\\plain\\kept.txt"), "payload");
    EXPECT_EQ(ReadFile(folder + L"\\sandbox\\base\\rooted.txt"), "payload");
    EXPECT_FALSE(Exists(L"C:\\rooted.txt"));
}

// Thousands of generated and mutated stored paths: the rules hold component by
// component; an accepted path, read by the platform, lies below the base; and a
// sample of the accepted ones, created for real, lands as a plain file there
// under its own name.
TEST(StoredPath, GeneratedPathsAcceptedOnlyWhenTheyLandInsideTheBase) {
    std::wstring base = FreshFolder(L"stored-generated");
    std::wstring fullBase;
    ASSERT_TRUE(TryFullPath(base + L"\\", fullBase));
    const std::vector<std::wstring> fragments = {
        L"a",   L"name", L".",    L"..",   L"\\", L"/",    L":",     L"CON", L"nul", L"COM1", L"LPT\u00B2", L"$",
        L" ",   L".txt", L"\\\\", L"?",    L"C:", L"\\\\?\\", L"\\\\.\\", L"ą", L"\u00B9", L"*",  L"AUX.", L"x y"};
    std::vector<std::wstring> seeds = kAccepted;
    for (const std::string& seed : ReadCorpus("stored_path")) {
        std::wstring wide;
        for (size_t i = 0; i + 1 < seed.size(); i += 2)
            wide.push_back(static_cast<wchar_t>(static_cast<uint8_t>(seed[i]) | (static_cast<uint8_t>(seed[i + 1]) << 8)));
        seeds.push_back(wide);
    }
    InputGenerator generator(20261208);
    int created = 0, accepted = 0;
    for (int i = 0; i < 12000; ++i) {
        std::wstring path = generator.OneIn(2) ? generator.Compose(fragments, 10)
                                               : generator.Mutate(generator.Pick(seeds), fragments);
        ASSERT_EQ(StoredPathProperties::Check(path), "") << Narrow(path);
        std::wstring landing;
        if (!LandingInsideBase(base, path, landing)) continue;
        ++accepted;
        std::wstring joined;
        ASSERT_TRUE(TryFullPath(fullBase + landing, joined)) << Narrow(path);
        ASSERT_EQ(joined.rfind(fullBase, 0), 0u) << Narrow(path);
        // Created for real: the last component is found in its folder under
        // exactly its own name, and removed again. Each costs about 0.15 s under
        // Wine, so a sample of them; the rules are checked on every path above.
        if (created >= 80) continue;
        bool madeFolder = false;
        ForceDirectories(DirectoryPart(joined), madeFolder);
        HANDLE file = ::CreateFileW(FileApiPath(joined).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;  // a folder of the same name, say
        ::CloseHandle(file);
        ++created;
        WIN32_FIND_DATAW found;
        EXPECT_TRUE(FindFirstMatch(joined, found)) << Narrow(path);
        EXPECT_EQ(std::wstring(found.cFileName), FileNamePart(joined)) << Narrow(path);
        ::DeleteFileW(FileApiPath(joined).c_str());
    }
    EXPECT_GT(accepted, 1000);
    EXPECT_EQ(created, 80);
    RemoveTree(base);
}
