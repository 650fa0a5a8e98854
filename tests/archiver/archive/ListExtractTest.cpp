#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

#include "archive/FileTimes.h"
#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
struct Listed {
    std::wstring name;
    uint64_t index, size, packed, attributes, crc;
    std::wstring method;
    double time;
};

std::vector<Listed> ListAll(TSevenZip& zip) {
    std::vector<Listed> items;
    zip.OnListfile = [&](TObject* sender, const std::wstring& name, uint64_t index, uint64_t size, uint64_t packed,
                         uint64_t attributes, uint64_t crc, const std::wstring& method, double time) {
        EXPECT_EQ(sender, &zip);
        items.push_back({name, index, size, packed, attributes, crc, method, time});
    };
    zip.List();
    return items;
}

// arc.7z by 7-Zip's command line from src\: a.txt (dated), empty.txt, dir\b.bin,
// dir\c.txt, sub\ (empty): six items with dir\, sorted by name.
std::wstring MakeOracleArchive(const std::wstring& testName) {
    std::wstring folder = FreshFolder(testName);
    std::wstring src = folder + L"\\src";
    MakeDirectories(src + L"\\sub");
    WriteTree(src, {{L"a.txt", "alpha"}, {L"empty.txt", ""}, {L"dir\\b.bin", NoiseBytes(40000, 2)},
                    {L"dir\\c.txt", std::string(5000, 'c')}});
    SetLastWriteTime(src + L"\\a.txt", MakeFileTime(2019, 7, 8, 9, 10, 11));
    EXPECT_EQ(Run7z(L"a -t7z ..\\arc.7z *", src), 0);
    return folder;
}

std::vector<std::wstring> Written(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const auto& [path, content] : Files(folder)) names.push_back(path);
    return names;
}

// A component set to restore the archive into out\.
struct Restorer {
    explicit Restorer(const std::wstring& archive, const std::wstring& out) {
        zip.SZFileName = archive;
        zip.ExtrBaseDir = out;
    }
    TSevenZip zip{nullptr};
    Messages messages{zip};
};
}  // namespace

TEST(List, ReportsEveryItemWithItsPropertiesAndFindsItByItsPathIgnoringCase) {
    std::wstring folder = MakeOracleArchive(L"list-items");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    std::vector<Listed> items = ListAll(zip);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(zip.NumberOfFiles, 6);
    std::map<std::wstring, Listed> byName;
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].index, i);
        byName[items[i].name] = items[i];
    }
    const Listed& a = byName[L"a.txt"];
    EXPECT_EQ(std::make_tuple(a.size, a.crc, a.attributes & FILE_ATTRIBUTE_DIRECTORY), std::make_tuple(5u, 0xD0E0396Au, 0u));
    EXPECT_EQ(a.time, FileTimeToLocalDate(MakeFileTime(2019, 7, 8, 9, 10, 11)));
    EXPECT_EQ(a.method.rfind(L"LZMA2", 0), 0u);
    EXPECT_EQ(byName[L"empty.txt"].method, L"None");
    EXPECT_EQ(byName[L"sub"].method, L"None");
    EXPECT_NE(byName[L"sub"].attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(byName[L"dir\\b.bin"].size, 40000u);
    // Directories are held in Files with a trailing backslash.
    EXPECT_EQ(zip.Files[static_cast<int32_t>(byName[L"sub"].index)], L"sub\\");
    const int32_t c = zip.GetIndexByFilename(L"DIR\\C.TXT");
    ASSERT_GE(c, 0);
    EXPECT_EQ(zip.Files[c], L"dir\\c.txt");
    EXPECT_EQ(zip.GetIndexByFilename(L"nothing.txt"), -1);
}

// Each for what it is: not there, there but not to be read, no archive, an
// archive whose header is cut off or damaged, a program without one.
TEST(List, ReportsWhatCannotBeOpened) {
    std::wstring folder = MakeOracleArchive(L"list-bad");
    std::string good = ReadFile(folder + L"\\arc.7z"), flipped = good;
    flipped[flipped.size() - 3] ^= 0x40;  // in the header block, which its CRC then fails
    WriteTree(folder, {{L"truncated.7z", good.substr(0, good.size() / 2)}, {L"flipped.7z", flipped},
                       {L"text.7z", "this is not an archive at all"}, {L"random.7z", NoiseBytes(70000, 5)},
                       {L"empty.7z", ""}, {L"program.exe", std::string(200000, 'P')}, {L"locked.7z", good}});
    ASSERT_TRUE(::CopyFileW(SfxModulePath().c_str(), (folder + L"\\bare.exe").c_str(), FALSE));
    const HANDLE lock = ::CreateFileW((folder + L"\\locked.7z").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::pair<const wchar_t*, int32_t> cases[] = {
        {L"missing.7z", kFileNotFound},    {L"locked.7z", kCouldNotOpenFile}, {L"truncated.7z", kDamagedHeader},
        {L"flipped.7z", kDamagedHeader},   {L"text.7z", kNotAnArchive},       {L"random.7z", kNotAnArchive},
        {L"empty.7z", kNotAnArchive},      {L"program.exe", kNotSfxArchive},  {L"bare.exe", kNotSfxArchive}};
    for (const auto& [name, code] : cases) {
        Restorer restorer(folder + L"\\" + name, folder + L"\\out");
        TSevenZip& zip = restorer.zip;
        EXPECT_EQ(zip.List(), -1) << Narrow(name);
        EXPECT_EQ(zip.NumberOfFiles, -1);
        EXPECT_EQ(zip.GetIndexByFilename(L"a.txt"), -1);
        EXPECT_FALSE(zip.IsSFX);
        EXPECT_EQ(restorer.messages.codes, std::vector<int32_t>{code}) << Narrow(name);
        EXPECT_EQ(restorer.messages.files, std::vector<std::wstring>{zip.SZFileName});
        EXPECT_EQ(zip.LastError, code == kCouldNotOpenFile ? ERROR_SHARING_VIOLATION : 0u);
        EXPECT_EQ(zip.Extract(), -1);
        EXPECT_EQ(restorer.messages.codes.size(), 2u);
    }
    ::CloseHandle(lock);
}

// Restored only when it is the archive expected: its start header as listed, and
// each item given at its index as the listing showed it. Any difference restores
// nothing.
TEST(Extract, OnlyTheArchiveExpectedIsRestored) {
    std::wstring folder = MakeOracleArchive(L"extract-expected");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    const std::vector<Listed> items = ListAll(zip);
    const TStartHeader listed = zip.ArchiveStartHeader;
    const Listed& a = *std::find_if(items.begin(), items.end(), [](const Listed& item) { return item.name == L"a.txt"; });
    const TShownItem shown{static_cast<uint32_t>(a.index), a.name, a.size, static_cast<uint32_t>(a.crc)};
    TStartHeader otherHeader = listed;
    otherHeader[31] ^= 1;  // another CRC of the header block
    auto changed = [&](const std::function<void(TShownItem&)>& change) {
        TShownItem item = shown;
        change(item);
        return item;
    };
    const struct {
        TStartHeader header;
        TShownItem item;
        int32_t result;
    } cases[] = {
        {listed, shown, 0},
        {otherHeader, shown, -1},
        {listed, changed([](TShownItem& item) { item.Name = L"A.txt"; }), -1},
        {listed, changed([](TShownItem& item) { ++item.Size; }), -1},
        {listed, changed([](TShownItem& item) { item.Crc ^= 1; }), -1},
        {listed, changed([](TShownItem& item) { item.Index = 99; }), -1},
    };
    zip.ExtrBaseDir = folder + L"\\out";
    zip.Files.Add(std::to_wstring(a.index));
    for (const auto& test : cases) {
        RemoveTree(folder + L"\\out");
        Messages messages(zip);
        zip.ExpectedArchive = TExpectedArchive{test.header, [&test](size_t number, TShownItem& item) {
                                                   item = test.item;
                                                   return number == 0;
                                               }};
        EXPECT_EQ(zip.Extract(), test.result);
        EXPECT_EQ(Exists(folder + L"\\out\\a.txt"), test.result == 0);
        EXPECT_EQ(messages.codes, test.result == 0 ? std::vector<int32_t>{} : std::vector<int32_t>{kArchiveChanged});
    }
}

// What List leaves in Files (directories with a backslash) restores the whole
// archive, whose total is the library's; chosen items are sorted, found by index
// or by path ignoring case, and only their sizes announced; Files stays.
TEST(Extract, TheWholeArchiveOrTheChosenItemsWithTheirTotal) {
    std::wstring folder = MakeOracleArchive(L"extract-chosen");
    Restorer all(folder + L"\\arc.7z", folder + L"\\all");
    std::vector<uint64_t> totals;
    all.zip.OnPreProgress = [&](TObject*, uint64_t total) { totals.push_back(total); };
    ASSERT_EQ(all.zip.List(), 6);
    EXPECT_EQ(all.zip.Extract(), 0);
    EXPECT_EQ(all.zip.ErrCode, kSuccess);
    ExpectSameTree(ReadTree(folder + L"\\src"), ReadTree(folder + L"\\all"), 20000000, false);

    TSevenZip& zip = all.zip;
    int32_t b = zip.GetIndexByFilename(L"dir\\b.bin"), c = zip.GetIndexByFilename(L"dir\\c.txt");
    ASSERT_LT(b, c);
    zip.ExtrBaseDir = folder + L"\\out";
    zip.Files.Clear();
    zip.Files.Add(std::to_wstring(c));  // the higher index first: the library takes them sorted
    zip.Files.Add(L"DIR\\B.BIN");
    // After the last chosen file the next progress report ends the library's run,
    // which the library reports as a failure: every chosen file is written.
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(totals, (std::vector<uint64_t>{45005, 45000}));
    EXPECT_EQ(Written(folder + L"\\out"), (std::vector<std::wstring>{L"dir\\b.bin", L"dir\\c.txt"}));
    EXPECT_EQ(zip.Files.Count(), 2);
    EXPECT_TRUE(all.messages.codes.empty());

    for (const wchar_t* entry : {L"6", L"-1", L"no\\such.txt"}) {
        Restorer restorer(folder + L"\\arc.7z", folder + L"\\none");
        restorer.zip.Files.Add(L"0");
        restorer.zip.Files.Add(entry);
        EXPECT_EQ(restorer.zip.Extract(), -1);
        EXPECT_EQ(restorer.messages.codes, std::vector<int32_t>{kIndexOutOfRange});
        EXPECT_EQ(restorer.messages.files, std::vector<std::wstring>{L""});
        EXPECT_FALSE(Exists(folder + L"\\none"));
    }
}

TEST(Extract, NoPathTestModeAndARenamedOutputWriteWhereAsked) {
    std::wstring folder = MakeOracleArchive(L"extract-rename");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = folder + L"\\out";
    EXPECT_EQ(zip.Extract(true), 0);
    EXPECT_FALSE(Exists(folder + L"\\out"));
    zip.ExtractOptions.Include(ExtractOptsEnum::ExtractNoPath);
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(Written(folder + L"\\out"), (std::vector<std::wstring>{L"a.txt", L"b.bin", L"c.txt", L"empty.txt"}));
    zip.ExtractOptions.Exclude(ExtractOptsEnum::ExtractNoPath);
    zip.OnSetExtractName = [&](TObject*, uint32_t, std::wstring& name) {
        if (FileNamePart(name) == L"a.txt") name = folder + L"\\elsewhere\\renamed.txt";
    };
    zip.Files.Add(L"a.txt");
    zip.Extract();
    EXPECT_EQ(ReadFile(folder + L"\\elsewhere\\renamed.txt"), "alpha");
    // The two-second stamp of the component's writer.
    FILETIME written = LastWriteTime(folder + L"\\elsewhere\\renamed.txt");
    FILETIME expected = MakeFileTime(2019, 7, 8, 9, 10, 10);
    EXPECT_EQ(CompareFileTime(&written, &expected), 0);

    // Output that cannot be created is reported under its name before the handler's change.
    WriteFile(folder + L"\\blocked", "a file where the base directory should be");
    Restorer blocked(folder + L"\\arc.7z", folder + L"\\blocked");
    blocked.zip.OnSetExtractName = [&](TObject*, uint32_t, std::wstring& name) { name += L".x"; };
    blocked.zip.Files.Add(L"a.txt");
    EXPECT_NE(blocked.zip.Extract(), 0);
    ASSERT_FALSE(blocked.messages.codes.empty());
    EXPECT_EQ(blocked.messages.codes[0], kCouldNotCreateFile);
    EXPECT_EQ(blocked.messages.files[0], folder + L"\\blocked\\a.txt");
    EXPECT_NE(blocked.zip.LastError, 0u);
    EXPECT_LE(blocked.messages.codes.size(), 2u);  // 7-Zip then tests the item and may find a data error
}

TEST(Extract, ExistingFilesAreSkippedAskedOrOverwrittenEvenIfReadOnlyOrHidden) {
    std::wstring folder = MakeOracleArchive(L"extract-overwrite");
    std::wstring out = folder + L"\\out";
    WriteTree(out, {{L"a.txt", "old a"}, {L"dir\\c.txt", "old c"}, {L"empty.txt", "old"}});
    ::SetFileAttributesW((out + L"\\empty.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    Restorer restorer(folder + L"\\arc.7z", out);
    TSevenZip& zip = restorer.zip;
    EXPECT_EQ(zip.Extract(), 0);  // no handler: skipped
    EXPECT_EQ(ReadFile(out + L"\\a.txt"), "old a");
    EXPECT_EQ(ReadFile(out + L"\\dir\\b.bin").size(), 40000u);

    std::vector<std::wstring> asked;
    zip.OnExtractOverwrite = [&](TObject*, const std::wstring& file, bool& doOverwrite) {
        asked.push_back(file);
        EXPECT_FALSE(doOverwrite);
        doOverwrite = FileNamePart(file) == L"a.txt";
    };
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(ReadFile(out + L"\\a.txt"), "alpha");
    EXPECT_EQ(ReadFile(out + L"\\dir\\c.txt"), "old c");
    EXPECT_NE(std::find(asked.begin(), asked.end(), out + L"\\dir"), asked.end());  // directories are asked too

    asked.clear();
    restorer.messages.codes.clear();
    zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(ReadFile(out + L"\\dir\\c.txt"), std::string(5000, 'c'));
    EXPECT_EQ(ReadFile(out + L"\\empty.txt"), "");
    EXPECT_TRUE(restorer.messages.codes.empty());
}

TEST(Extract, DamagedDataIsReportedPerItem) {
    std::wstring folder = FreshFolder(L"extract-damaged");
    WriteTree(folder, {{L"stored.txt", std::string(3000, 's')}, {L"packed.txt", std::string(3000, 'p')}});
    ASSERT_EQ(Run7z(L"a -t7z -mx0 stored.7z stored.txt", folder), 0);
    ASSERT_EQ(Run7z(L"a -t7z -mx5 -m0=LZMA packed.7z packed.txt", folder), 0);
    // The item after the damage in a solid block, which the library only tests,
    // is named by its output path too; so is one skipped as there already, which
    // the library decodes all the same.
    ASSERT_EQ(Run7z(L"a -t7z -mx5 -m0=LZMA -ms=on solid.7z packed.txt stored.txt", folder), 0);
    ASSERT_EQ(Run7z(L"a -t7z -mx0 skipped.7z stored.txt", folder), 0);
    const std::tuple<const wchar_t*, int32_t, const wchar_t*> cases[] = {
        {L"stored", kCRCError, L"stored"}, {L"packed", kDataError, L"packed"},
        {L"solid", kDataError, L"stored"}, {L"skipped", kCRCError, L"stored"}};
    for (auto [name, code, last] : cases) {
        std::wstring archive = folder + L"\\" + name + L".7z";
        std::string bytes = ReadFile(archive);
        bytes[32 + 20] ^= 0x55;  // inside the packed data, behind the start header
        WriteFile(archive, bytes);
        RemoveTree(folder + L"\\out");
        MakeDirectories(folder + L"\\out");
        if (name == std::wstring(L"skipped")) WriteFile(folder + L"\\out\\stored.txt", "there already");
        Restorer restorer(archive, folder + L"\\out");
        restorer.zip.Extract();
        ASSERT_FALSE(restorer.messages.codes.empty()) << Narrow(name);
        EXPECT_EQ(restorer.messages.codes.back(), code) << Narrow(name);
        EXPECT_EQ(restorer.messages.files.back(), folder + L"\\out\\" + last + L".txt") << Narrow(name);
    }
}

// Attributes belong to the item, not to its new folder; an archive without
// attributes still makes its directories by the item's directory flag.
TEST(Extract, AttributesAreTheItemsAndDirectoriesComeWithoutThem) {
    std::wstring folder = FreshFolder(L"extract-attributes");
    const std::wstring plain = folder + L"\\src\\plain";
    MakeDirectories(plain + L"\\hiddendir");
    WriteTree(plain, {{L"secret.txt", "hidden file"}, {L"readonly.txt", "read only"}, {L"d\\e\\f.txt", "deep"}});
    ::SetFileAttributesW((plain + L"\\secret.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW((plain + L"\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesW((plain + L"\\hiddendir").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(Run7z(L"a -t7z ..\\arc.7z plain\\secret.txt plain\\readonly.txt plain\\hiddendir", folder + L"\\src"), 0);
    ASSERT_EQ(Run7z(L"a -t7z -mtr- -mtm- ..\\..\\bare.7z d", plain), 0);
    for (const wchar_t* name : {L"arc", L"bare"}) {
        TSevenZip zip(nullptr);
        zip.SZFileName = folder + L"\\" + name + L".7z";
        zip.ExtrBaseDir = folder + L"\\out";
        EXPECT_EQ(zip.Extract(), 0);
    }
    const std::wstring out = folder + L"\\out\\plain";
    EXPECT_EQ(::GetFileAttributesW(out.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY), 0u);
    EXPECT_NE(::GetFileAttributesW((out + L"\\secret.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_NE(::GetFileAttributesW((out + L"\\readonly.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(ReadFile(out + L"\\readonly.txt"), "read only");
    EXPECT_NE(::GetFileAttributesW((out + L"\\hiddendir").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(ReadFile(folder + L"\\out\\d\\e\\f.txt"), "deep");
}
