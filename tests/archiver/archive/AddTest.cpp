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
// data\ with files of several extensions and a sub-directory.
std::wstring MakeDataTree(const std::wstring& name) {
    std::wstring folder = FreshFolder(name);
    std::wstring data = folder + L"\\data";
    MakeDirectories(data + L"\\sub");
    for (const wchar_t* file : {L"c.txt", L"b.TXT", L"noext", L"x.abcdefg", L"x.abcdefghijk", L"sub\\e.txt",
                                L"sub\\f.dat"})
        WriteFile(data + L"\\" + file, Narrow(file));
    return folder;
}

std::vector<std::wstring> TableFor(const std::wstring& entry, const std::wstring& base, bool recurse,
                                   bool storeOnlyFilename = false, const std::wstring& rootDir = L"") {
    TAddItemTable table({rootDir, recurse, storeOnlyFilename, {}});
    table.AddEntry(entry);
    std::vector<std::wstring> paths;
    for (const TAddItem& item : table.Items())
        paths.push_back(item.Path.rfind(base, 0) == 0 ? item.Path.substr(base.size()) : L"=" + item.Path);
    std::sort(paths.begin(), paths.end());
    return paths;
}

using Names = std::vector<std::wstring>;

// What the component lists of an archive: stored paths, directories ending in "\".
Names ListNames(const std::wstring& archive, const std::wstring& password = L"") {
    TSevenZip zip(nullptr);
    zip.SZFileName = archive;
    zip.Password = password;
    zip.List();
    Names names;
    for (int32_t i = 0; i < zip.Files.Count(); ++i) names.push_back(zip.Files[i]);
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

TEST(AddItemTable, MaskComparesTheExtensionExactlyAndRecursesOnRequest) {
    std::wstring folder = MakeDataTree(L"add-mask");
    std::wstring data = folder + L"\\data\\";
    // The directory's own entry comes first, by its full path.
    std::wstring own = L"=" + folder + L"\\data";
    EXPECT_EQ(TableFor(data + L"*.txt", data, true), (Names{own, L"c.txt", L"sub", L"sub\\e.txt"}));
    EXPECT_EQ(TableFor(data + L"*.txt", data, false), (Names{own, L"c.txt", L"sub"}));
    EXPECT_EQ(TableFor(data + L"*.*", data, true).size(), 9u);
    EXPECT_EQ(TableFor(data + L"*", data, true), (Names{own, L"noext", L"sub"}));
    // At most eight characters of a mask count.
    EXPECT_EQ(TableFor(data + L"*.abcdefgXYZ", data, false), (Names{own, L"sub", L"x.abcdefg"}));
    // Store only the file name: directories found while scanning are left out.
    EXPECT_EQ(TableFor(data + L"*.txt", data, true, true), (Names{own, L"c.txt", L"sub\\e.txt"}));
}

TEST(AddItemTable, PlainEntriesAreLookedUpAndMissingOnesSkipped) {
    std::wstring folder = MakeDataTree(L"add-plain");
    std::wstring data = folder + L"\\data\\";
    EXPECT_EQ(TableFor(data + L"c.txt", data, true), (Names{L"c.txt"}));
    EXPECT_EQ(TableFor(data + L"sub", data, true), (Names{L"sub"}));  // the directory alone
    EXPECT_EQ(TableFor(data + L"missing.txt", data, true), Names{});
}

TEST(AddItemTable, TheRootIsCutFromTheFullPathSoADirectoryBelowItKeepsNoSeparator) {
    std::wstring folder = MakeDataTree(L"add-own");
    std::wstring root = UpperCase(folder + L"\\data");
    TAddItemTable table({root, true, false, {}});
    table.AddEntry(folder + L"\\data\\sub\\*.*");
    ASSERT_FALSE(table.Items().empty());
    const TAddItem& own = table.Items()[0];
    EXPECT_EQ(own.Path, folder + L"\\data\\sub");
    EXPECT_EQ(own.Path.substr(own.RootLength), L"sub");
    EXPECT_TRUE(own.IsDirectory());
}

TEST(AddItemTable, FindsAFiveGibibyteFileWithItsFullSize) {
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

    TAddItemTable table({L"", true, false, {}});
    table.AddEntry(folder + L"\\*.img");
    auto found = std::find_if(table.Items().begin(), table.Items().end(),
                              [&](const TAddItem& item) { return item.Path == big; });
    ASSERT_NE(found, table.Items().end());
    EXPECT_EQ(found->Size, 5ull << 30);
    EXPECT_EQ(table.Total(), (5ull << 30) + 4);

    // Through Add: the total arrives before any byte is packed, and a cancel from
    // there stops the library at its first progress report.
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
    auto callback = [&](TStoredPathRules rules) {
        return ComPtr<TMyArchiveUpdateCallback>(new TMyArchiveUpdateCallback(zip.Host(), items, rules, L""));
    };
    EXPECT_EQ(callback({})->StoredPath(0), L"sub\\a.txt");
    EXPECT_EQ(callback({})->StoredPath(1), L"other\\b.txt");
    EXPECT_EQ(callback({})->StoredPath(2), L"server\\share\\c.txt");
    EXPECT_EQ(callback({.IncludeDriveLetter = true})->StoredPath(1), L"C\\other\\b.txt");
    EXPECT_EQ(callback({.IncludeDriveLetter = true, .OnlyFilename = true})->StoredPath(0), L"a.txt");
    zip.OnSetAddName = [](TObject*, uint32_t index, std::wstring& name) {
        if (index == 0) name = L"D:\\renamed\\" + name;
    };
    EXPECT_EQ(callback({})->StoredPath(0), L"renamed\\sub\\a.txt");  // the drive rule follows the handler
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
    EXPECT_NE(std::find(added.begin(), added.end(), std::make_pair(folder + L"\\data\\c.txt", uint64_t{5})),
              added.end());
    // The own entry "data" is the root itself: cut to nothing, it is not added.
    EXPECT_EQ(ListNames(zip.SZFileName), (Names{L"c.txt", L"sub\\", L"sub\\e.txt"}));
    EXPECT_EQ(Run7z(L"t out.7z", folder), 0);
}

TEST(Add, SolidPpmdAndDictionarySettingsReachTheLibrary) {
    std::wstring folder = MakeDataTree(L"add-methods");
    auto pack = [&](const std::wstring& name, auto configure) {
        TSevenZip zip(nullptr);
        zip.AddRootDir = folder;
        zip.SZFileName = folder + L"\\" + name;
        zip.Files.Add(folder + L"\\data\\*.*");
        zip.AddOptions = {AddOptsEnum::AddRecurseDirs};
        configure(zip);
        EXPECT_EQ(zip.Add(), 0);
        std::vector<std::pair<std::wstring, uint64_t>> listed;
        zip.OnListfile = [&](TObject*, const std::wstring&, uint64_t, uint64_t size, uint64_t packed, uint64_t,
                             uint64_t, const std::wstring& method, double) {
            if (size > 0) listed.emplace_back(method, packed);
        };
        zip.List();
        return listed;
    };
    WriteFile(folder + L"\\data\\large.bin", NoiseBytes(1 << 20, 5) + std::string(1 << 19, 'z'));
    auto solid = pack(L"solid.7z", [](TSevenZip& zip) {
        zip.LZMACompressStrength = TCompressStrength::ULTRA;
        zip.LZMAStrength = 20;
        zip.AddOptions.Include(AddOptsEnum::AddSolid);
    });
    ASSERT_EQ(solid.size(), 8u);
    EXPECT_EQ(solid[0].first, L"LZMA2:20") << Narrow(solid[0].first);  // dictionary 2^20
    size_t packedItems = std::count_if(solid.begin(), solid.end(), [](auto& item) { return item.second > 0; });
    EXPECT_EQ(packedItems, 1u);  // one solid block

    auto ppmd = pack(L"ppmd.7z", [](TSevenZip& zip) {
        zip.LZMACompressType = TCompressType::PPMD;
        zip.LPPMDsize = 4;  // switches the order on: 10 goes, not 4
    });
    ASSERT_FALSE(ppmd.empty());
    EXPECT_NE(ppmd[0].first.find(L"PPMD:o10"), std::wstring::npos) << Narrow(ppmd[0].first);
    EXPECT_EQ(Run7z(L"t ppmd.7z", folder), 0);

    auto stored = pack(L"store.7z", [](TSevenZip&) {});
    ASSERT_FALSE(stored.empty());
    EXPECT_EQ(stored[0].first, L"Copy");
}

TEST(Add, PasswordEncryptsTheDataAndOnRequestTheNames) {
    std::wstring folder = MakeDataTree(L"add-password");
    for (bool names : {false, true}) {
        TSevenZip zip(nullptr);
        zip.AddRootDir = folder;
        zip.Password = L"Hasło";
        zip.LZMACompressStrength = TCompressStrength::FAST;
        if (names) zip.AddOptions.Include(AddOptsEnum::AddEncryptFilename);
        zip.SZFileName = folder + (names ? L"\\he.7z" : L"\\data.7z");
        zip.Files.Add(folder + L"\\data\\c.txt");
        ASSERT_EQ(zip.Add(), 0);
        EXPECT_EQ(ListNames(zip.SZFileName, L"Hasło"), Names{L"data\\c.txt"});
        EXPECT_EQ(ListNames(zip.SZFileName).empty(), names);
    }
    EXPECT_EQ(Run7z(L"t -pHaslo data.7z", folder), 2);
    EXPECT_EQ(Run7z(L"t -pHasło data.7z", folder), 0);
    EXPECT_EQ(Run7z(L"l -p he.7z", folder), 2);
    EXPECT_EQ(Run7z(L"t -pHasło he.7z", folder), 0);
}

TEST(Add, NothingToAddLeavesAnExistingArchiveAlone) {
    std::wstring folder = FreshFolder(L"add-nothing");
    WriteFile(folder + L"\\keep.7z", "an older archive");
    TSevenZip zip(nullptr);
    Messages messages(zip);
    bool announced = false;
    zip.OnPreProgress = [&](TObject*, uint64_t total) { announced = total == 0; };
    zip.SZFileName = folder + L"\\keep.7z";
    zip.Files.Add(folder + L"\\missing.txt");
    zip.Files.Add(folder + L"\\none\\*.*");
    EXPECT_EQ(zip.Add(), -1);
    EXPECT_TRUE(announced);
    // Each entry that is not there is named, then there is nothing to add.
    EXPECT_EQ(messages.codes, (std::vector<int32_t>{kFileNotFound, kFileNotFound, kNoFilesToAdd}));
    EXPECT_EQ(messages.files, (std::vector<std::wstring>{folder + L"\\missing.txt", folder + L"\\none\\*.*", L""}));
    EXPECT_EQ(ReadFile(folder + L"\\keep.7z"), "an older archive");
}

TEST(Add, SelfExtractorCopyThatFailsEndsAddWithoutAnArchive) {
    std::wstring folder = MakeDataTree(L"add-sfx-exists");
    WriteFile(folder + L"\\setup.exe", "already here");
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.SFXModule = SfxModulePath();
    zip.SetSFXCreate(true);
    zip.SZFileName = folder + L"\\setup.7z";
    zip.Files.Add(folder + L"\\data\\c.txt");
    EXPECT_EQ(zip.Add(), -1);
    EXPECT_EQ(zip.SZFileName, folder + L"\\setup.exe");
    EXPECT_EQ(messages.codes, std::vector<int32_t>{kCouldNotCreateSfx});
    EXPECT_EQ(messages.files, std::vector<std::wstring>{folder + L"\\setup.exe"});
    EXPECT_EQ(zip.LastError, static_cast<uint32_t>(ERROR_FILE_EXISTS));
    EXPECT_EQ(ReadFile(folder + L"\\setup.exe"), "already here");
}

TEST(Add, SelfExtractorHoldsTheModuleThenTheArchive) {
    std::wstring folder = MakeDataTree(L"add-sfx");
    TSevenZip zip(nullptr);
    zip.SFXModule = SfxModulePath();
    zip.SetSFXCreate(true);
    zip.AddRootDir = folder;
    zip.SZFileName = folder + L"\\setup";
    zip.Files.Add(folder + L"\\data\\*.*");
    ASSERT_EQ(zip.Add(), 0);
    EXPECT_EQ(zip.SZFileName, folder + L"\\setup.exe");
    std::string module = ReadFile(SfxModulePath());
    std::string program = ReadFile(zip.SZFileName);
    EXPECT_TRUE(program.compare(0, module.size(), module) == 0);
    EXPECT_EQ(program.substr(module.size(), 2), "7z");
    EXPECT_EQ(Run7z(L"t setup.exe", folder), 0);
}

TEST(Add, ArchiveFileThatCannotBeCreatedIsReportedByName) {
    std::wstring folder = MakeDataTree(L"add-abort");
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.SZFileName = folder + L"\\no\\such\\folder\\out.7z";
    zip.Files.Add(folder + L"\\data\\c.txt");
    EXPECT_EQ(zip.Add(), -1);
    EXPECT_EQ(messages.codes, std::vector<int32_t>{kCouldNotCreateFile});
    EXPECT_EQ(messages.files, std::vector<std::wstring>{zip.SZFileName});
    EXPECT_EQ(zip.LastError, static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(zip.CancelRequested());
}

TEST(Add, CancelFromProgressStopsTheLibrary) {
    std::wstring folder = FreshFolder(L"add-cancel");
    WriteFile(folder + L"\\big.bin", NoiseBytes(6 << 20, 4));
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.LZMACompressStrength = TCompressStrength::NORMAL;
    zip.OnProgress = [&](TObject*, const std::wstring&, uint64_t, uint64_t) { zip.Cancel(); };
    zip.SZFileName = folder + L"\\out.7z";
    zip.Files.Add(folder + L"\\big.bin");
    EXPECT_EQ(zip.Add(), -1);  // not 1, which would say the archive was written
    ASSERT_FALSE(messages.codes.empty());
    EXPECT_EQ(messages.codes[0], kUserCanceled);
    EXPECT_FALSE(zip.CancelRequested());
}

TEST(Add, UnreadableInputIsReportedAndLeftOutWithItsErrorKept) {
    std::wstring folder = FreshFolder(L"fail-locked");
    WriteFile(folder + L"\\locked.txt", "cannot be read");
    WriteFile(folder + L"\\open.txt", "readable");
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
    EXPECT_EQ(ListNames(folder + L"\\out.7z"), Names{L"open.txt"});
    EXPECT_EQ(Run7z(L"t out.7z", folder), 0);
}

TEST(Add, NegativeVolumeSizeWritesNumberedVolumesOfFourGibibytes) {
    std::wstring folder = MakeDataTree(L"add-negative-volume");
    TSevenZip zip(nullptr);
    zip.SetVolumeSize(-1);
    zip.SZFileName = folder + L"\\big.7z";
    zip.Files.Add(folder + L"\\data\\c.txt");
    ASSERT_EQ(zip.Add(), 0);
    EXPECT_EQ(zip.VolumeNames, std::vector<std::wstring>{folder + L"\\big.7z.001"});
    EXPECT_EQ(Run7z(L"t big.7z.001", folder), 0);
}
