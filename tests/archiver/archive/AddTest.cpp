#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <map>

#include "archive/ItemTable.h"
#include "archive/UpdateCallback.h"
#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
using NameList = std::vector<std::wstring>;

// data\ with files of several extensions and a sub-directory, each holding its name.
std::wstring MakeDataTree(const std::wstring& name) {
    std::wstring folder = FreshFolder(name);
    for (const wchar_t* file : {L"c.txt", L"b.TXT", L"noext", L"x.abcdefg", L"x.abcdefghijk", L"sub\\e.txt", L"sub\\f.dat"})
        WriteTree(folder + L"\\data", {{file, Narrow(file)}});
    return folder;
}
}  // namespace

// Masks compare the extension exactly, at most eight characters of it; the
// directory's own entry comes first by its full path ("="), and directories found
// while scanning are left out when only file names are stored.
TEST(AddItemTable, EntriesFindWhatTheirMaskOrNameSays) {
    std::wstring folder = MakeDataTree(L"add-mask");
    std::wstring data = folder + L"\\data\\", own = L"=" + folder + L"\\data";
    const struct {
        const wchar_t* entry;
        bool recurse, onlyFilename;
        NameList found;
    } cases[] = {
        {L"*.txt", true, false, {own, L"c.txt", L"sub", L"sub\\e.txt"}},
        {L"*.txt", false, false, {own, L"c.txt", L"sub"}},
        {L"*", true, false, {own, L"noext", L"sub"}},
        {L"*.abcdefgXYZ", false, false, {own, L"sub", L"x.abcdefg"}},
        {L"*.txt", true, true, {own, L"c.txt", L"sub\\e.txt"}},
        {L"c.txt", true, false, {L"c.txt"}},
        {L"sub", true, false, {L"sub"}},  // the directory alone
        {L"missing.txt", true, false, {}},
    };
    for (const auto& test : cases) {
        TAddItemTable table({L"", test.recurse, test.onlyFilename, {}});
        table.AddEntry(data + test.entry);
        NameList paths;
        for (const TAddItem& item : table.Items())
            paths.push_back(item.Path.rfind(data, 0) == 0 ? item.Path.substr(data.size()) : L"=" + item.Path);
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(paths, test.found) << Narrow(test.entry);
    }
}

TEST(AddItemTable, FindsAFiveGibibyteFileWithItsFullSizeAndAddAnnouncesItFirst) {
    std::wstring folder = FreshFolder(L"add-sparse");
    std::wstring big = folder + L"\\big.img";
    HANDLE file = ::CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    ::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER size{};
    size.QuadPart = 5ll << 30;
    ASSERT_TRUE(::SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(file));
    ::CloseHandle(file);
    WriteFile(folder + L"\\small.img", "1234");

    // The total arrives before any byte is packed, and a cancel from there stops
    // the library at its first progress report.
    TSevenZip zip(nullptr);
    Messages messages(zip);
    uint64_t announced = 0;
    zip.OnPreProgress = [&](TObject*, uint64_t total) {
        announced = total;
        zip.Cancel();
    };
    zip.SZFileName = folder + L"\\big.7z";
    zip.Files.Add(folder + L"\\*.img");
    EXPECT_NE(zip.Add(), 0);
    EXPECT_EQ(announced, (5ull << 30) + 4);
    EXPECT_EQ(messages.codes, std::vector<int32_t>{kUserCanceled});
    EXPECT_FALSE(zip.CancelRequested());
    ::DeleteFileW(big.c_str());
}

TEST(AddStoredPath, RootPrefixDriveLetterAndFileNameRules) {
    TSevenZip zip(nullptr);
    std::vector<TAddItem> items(3);
    items[0].Path = L"C:\\Data\\sub\\a.txt";
    items[0].RootLength = 8;  // below the root C:\DATA
    items[1].Path = L"C:\\other\\b.txt";
    items[2].Path = L"\\\\server\\share\\c.txt";
    items[2].RootLength = 2;
    auto stored = [&](TStoredPathRules rules, uint32_t index) {
        return ComPtr<TMyArchiveUpdateCallback>(new TMyArchiveUpdateCallback(zip.Host(), items, rules, L""))->StoredPath(index);
    };
    EXPECT_EQ(stored({}, 0), L"sub\\a.txt");
    EXPECT_EQ(stored({}, 1), L"other\\b.txt");
    EXPECT_EQ(stored({}, 2), L"server\\share\\c.txt");
    EXPECT_EQ(stored({.IncludeDriveLetter = true}, 1), L"C\\other\\b.txt");
    EXPECT_EQ(stored({.IncludeDriveLetter = true, .OnlyFilename = true}, 0), L"a.txt");
    zip.OnSetAddName = [](TObject*, uint32_t index, std::wstring& name) {
        if (index == 0) name = L"D:\\renamed\\" + name;
    };
    EXPECT_EQ(stored({}, 0), L"renamed\\sub\\a.txt");  // the drive rule follows the handler
}

TEST(Add, PacksAWildcardEntryBelowTheRootDirectory) {
    std::wstring folder = MakeDataTree(L"add-root");
    TSevenZip zip(nullptr);
    zip.AddOptions = {AddOptsEnum::AddRecurseDirs};
    zip.AddRootDir = folder + L"\\data";
    zip.SZFileName = folder + L"\\out.7z";
    zip.Files.Add(folder + L"\\data\\*.txt");
    std::vector<std::pair<std::wstring, uint64_t>> added;
    zip.OnAddfile = [&](TObject*, const std::wstring& file, uint64_t size) {
        if (added.empty() || added.back().first != file) added.emplace_back(file, size);
    };
    uint64_t total = 0, lastArc = 0;
    zip.OnPreProgress = [&](TObject*, uint64_t value) { total = value; };
    zip.OnProgress = [&](TObject*, const std::wstring&, uint64_t arc, uint64_t) {
        EXPECT_GE(arc, lastArc);
        lastArc = arc;
    };
    EXPECT_EQ(zip.Add(), 0);
    EXPECT_EQ(zip.AddRootDir, UpperCase(folder + L"\\data"));
    EXPECT_EQ(total, 14u);  // "c.txt" and "sub\e.txt" hold their own names
    EXPECT_EQ(zip.VolumeNames, std::vector<std::wstring>{folder + L"\\out.7z"});
    EXPECT_NE(std::find(added.begin(), added.end(), std::make_pair(folder + L"\\data\\c.txt", uint64_t{5})), added.end());
    // The own entry "data" is the root itself: cut to nothing, it is not added.
    EXPECT_EQ(ListedNames(zip.SZFileName), (NameList{L"c.txt", L"sub\\", L"sub\\e.txt"}));
    EXPECT_EQ(Run7z(L"t out.7z", folder), 0);
}

TEST(Add, MethodsStrengthsAndPasswordsReachTheLibrary) {
    std::wstring folder = MakeDataTree(L"add-methods");
    WriteFile(folder + L"\\data\\large.bin", NoiseBytes(1 << 20, 5) + std::string(1 << 19, 'z'));
    auto pack = [&](const std::wstring& name, auto configure) {
        EXPECT_EQ(PackFiles(folder + L"\\" + name, folder, {folder + L"\\data\\*.*"},
                            [&](TSevenZip& zip) {
                                zip.AddOptions = {AddOptsEnum::AddRecurseDirs};
                                configure(zip);
                            }),
                  0);
        TSevenZip zip(nullptr);
        zip.SZFileName = folder + L"\\" + name;
        zip.Password = L"Hasło";
        std::vector<std::pair<std::wstring, uint64_t>> listed;
        zip.OnListfile = [&](TObject*, const std::wstring&, uint64_t, uint64_t size, uint64_t packed, uint64_t,
                             uint64_t, const std::wstring& method, double) {
            if (size > 0) listed.emplace_back(method, packed);
        };
        zip.List();
        return listed;
    };
    auto solid = pack(L"solid.7z", [](TSevenZip& zip) {
        zip.LZMACompressStrength = TCompressStrength::ULTRA;
        zip.LZMAStrength = 20;
        zip.AddOptions.Include(AddOptsEnum::AddSolid);
    });
    ASSERT_EQ(solid.size(), 8u);
    EXPECT_EQ(solid[0].first, L"LZMA2:20") << Narrow(solid[0].first);  // dictionary 2^20
    EXPECT_EQ(std::count_if(solid.begin(), solid.end(), [](auto& item) { return item.second > 0; }), 1);  // one block
    auto ppmd = pack(L"ppmd.7z", [](TSevenZip& zip) {
        zip.LZMACompressType = TCompressType::PPMD;
        zip.LPPMDsize = 4;  // switches the order on: 10 goes, not 4
    });
    ASSERT_FALSE(ppmd.empty());
    EXPECT_NE(ppmd[0].first.find(L"PPMD:o10"), std::wstring::npos) << Narrow(ppmd[0].first);
    auto stored = pack(L"store.7z", [](TSevenZip&) {});
    ASSERT_FALSE(stored.empty());
    EXPECT_EQ(stored[0].first, L"Copy");

    // The password (not in ASCII) encrypts the data, and on request the names.
    for (const wchar_t* name : {L"data.7z", L"he.7z"}) {
        pack(name, [&](TSevenZip& zip) {
            zip.Password = L"Hasło";
            zip.LZMACompressStrength = TCompressStrength::FAST;
            if (name == std::wstring(L"he.7z")) zip.AddOptions.Include(AddOptsEnum::AddEncryptFilename);
        });
        EXPECT_EQ(ListedNames(folder + L"\\" + name, L"Hasło").size(), 10u);
        EXPECT_EQ(ListedNames(folder + L"\\" + name).empty(), name == std::wstring(L"he.7z"));
        EXPECT_EQ(Run7z(std::wstring(L"t -pHasło ") + name, folder), 0);
    }
    EXPECT_EQ(Run7z(L"t -pHaslo data.7z", folder), 2);
    EXPECT_EQ(Run7z(L"l -p he.7z", folder), 2);
}

// Each entry that is not there is named; a wildcard finding no file in a folder
// that is there is no error; with nothing left to add the archive stays as it was.
TEST(Add, EntriesThatAreNotThereAreSaidAndNothingToAddWritesNothing) {
    const std::wstring folder = FreshFolder(L"add-missing");
    WriteFile(folder + L"\\a.txt", "here");
    WriteFile(folder + L"\\keep.7z", "an older archive");
    MakeDirectories(folder + L"\\empty");
    for (const bool any : {true, false}) {
        TSevenZip zip(nullptr);
        Messages messages(zip);
        bool announcedNothing = false;
        zip.OnPreProgress = [&](TObject*, uint64_t total) { announcedNothing = total == 0; };
        zip.AddRootDir = folder;
        zip.SZFileName = folder + (any ? L"\\out.7z" : L"\\keep.7z");
        if (any) zip.Files.Add(folder + L"\\a.txt");
        for (const wchar_t* entry : {L"\\missing.txt", L"\\missing\\*.*"}) zip.Files.Add(folder + entry);
        if (any) zip.Files.Add(folder + L"\\empty\\*.txt");
        EXPECT_EQ(zip.Add(), any ? 1 : -1);
        std::vector<int32_t> codes{kFileNotFound, kFileNotFound};
        std::vector<std::wstring> files{folder + L"\\missing.txt", folder + L"\\missing\\*.*"};
        if (!any) {
            EXPECT_TRUE(announcedNothing);
            codes.push_back(kNoFilesToAdd);
            files.push_back(L"");
        }
        EXPECT_EQ(messages.codes, codes);
        EXPECT_EQ(messages.files, files);
    }
    EXPECT_EQ(ListedNames(folder + L"\\out.7z"), (NameList{L"a.txt", L"empty\\"}));
    EXPECT_EQ(ReadFile(folder + L"\\keep.7z"), "an older archive");
}

// Where the archive or its self-extractor cannot be made, Add ends at once with
// the file named and the platform's reason.
TEST(Add, AnArchiveOrProgramThatCannotBeCreatedIsReportedByName) {
    std::wstring folder = MakeDataTree(L"add-abort");
    WriteFile(folder + L"\\setup.exe", "already here");
    const struct {
        const wchar_t* name;
        bool selfExtracting;
        const wchar_t* reported;
        int32_t code;
        DWORD reason;
    } cases[] = {{L"\\no\\such\\folder\\out.7z", false, L"\\no\\such\\folder\\out.7z", kCouldNotCreateFile, ERROR_PATH_NOT_FOUND},
                 {L"\\setup.7z", true, L"\\setup.exe", kCouldNotCreateSfx, ERROR_FILE_EXISTS}};
    for (const auto& test : cases) {
        TSevenZip zip(nullptr);
        Messages messages(zip);
        if (test.selfExtracting) {
            zip.SFXModule = SfxModulePath();
            zip.SetSFXCreate(true);
        }
        zip.SZFileName = folder + test.name;
        zip.Files.Add(folder + L"\\data\\c.txt");
        EXPECT_EQ(zip.Add(), -1);
        EXPECT_EQ(zip.SZFileName, folder + test.reported);
        EXPECT_EQ(messages.codes, std::vector<int32_t>{test.code});
        EXPECT_EQ(messages.files, std::vector<std::wstring>{folder + test.reported});
        EXPECT_EQ(zip.LastError, static_cast<uint32_t>(test.reason));
        EXPECT_FALSE(zip.CancelRequested());
    }
    EXPECT_EQ(ReadFile(folder + L"\\setup.exe"), "already here");
}

TEST(Add, UnreadableInputIsReportedAndLeftOutWithItsErrorKept) {
    std::wstring folder = FreshFolder(L"fail-locked");
    WriteTree(folder, {{L"locked.txt", "cannot be read"}, {L"open.txt", "readable"}});
    HANDLE lock = ::CreateFileW((folder + L"\\locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.AddRootDir = folder;
    zip.SZFileName = folder + L"\\out.7z";
    zip.Files.Add(folder + L"\\*.txt");
    const int32_t result = zip.Add();
    ::CloseHandle(lock);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(messages.codes, std::vector<int32_t>{kCouldNotOpenFile});
    EXPECT_EQ(messages.files, std::vector<std::wstring>{folder + L"\\locked.txt"});
    EXPECT_EQ(zip.ErrCode, kCouldNotOpenFile);
    EXPECT_EQ(zip.LastError, static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
    // What could be read is written; the other file is not there as an empty one.
    EXPECT_EQ(ListedNames(folder + L"\\out.7z"), NameList{L"open.txt"});
    EXPECT_EQ(Run7z(L"t out.7z", folder), 0);
}

TEST(Add, NegativeVolumeSizeWritesNumberedVolumesOfFourGibibytes) {
    std::wstring folder = MakeDataTree(L"add-negative-volume");
    TSevenZip zip(nullptr);
    zip.SetVolumeSize(-1);
    zip.SZFileName = folder + L"\\big.7z";
    zip.Files.Add(folder + L"\\data\\c.txt");
    ASSERT_EQ(zip.Add(), 0);
    EXPECT_EQ(zip.VolumeSize(), -1);
    EXPECT_EQ(zip.VolumeNames, std::vector<std::wstring>{folder + L"\\big.7z.001"});
    EXPECT_EQ(Run7z(L"t big.7z.001", folder), 0);
}
