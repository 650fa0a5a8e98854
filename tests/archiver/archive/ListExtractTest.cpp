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

// An archive made by 7-Zip's command line from src\: a.txt (dated), empty.txt,
// dir\b.bin, dir\c.txt, sub\ (empty directory): five items after sorting by name.
std::wstring MakeOracleArchive(const std::wstring& testName, const std::wstring& switches = L"") {
    std::wstring folder = FreshFolder(testName);
    std::wstring src = folder + L"\\src";
    MakeDirectories(src + L"\\dir");
    MakeDirectories(src + L"\\sub");
    WriteFile(src + L"\\a.txt", "alpha");
    SetLastWriteTime(src + L"\\a.txt", MakeFileTime(2019, 7, 8, 9, 10, 11));
    WriteFile(src + L"\\empty.txt", "");
    WriteFile(src + L"\\dir\\b.bin", NoiseBytes(40000, 2));
    WriteFile(src + L"\\dir\\c.txt", std::string(5000, 'c'));
    EXPECT_EQ(Run7z(L"a -t7z " + switches + L" ..\\arc.7z *", src), 0);
    return folder;
}

std::vector<std::wstring> Written(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const auto& [path, entry] : ReadTree(folder))
        if (!entry.directory) names.push_back(path);
    return names;
}
}  // namespace

TEST(List, ReportsEveryItemWithItsProperties) {
    std::wstring folder = MakeOracleArchive(L"list-items");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    std::vector<Listed> items = ListAll(zip);
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(zip.NumberOfFiles, 6);
    std::map<std::wstring, Listed> byName;
    for (const Listed& item : items) byName[item.name] = item;
    const Listed& a = byName[L"a.txt"];
    EXPECT_EQ(a.size, 5u);
    EXPECT_EQ(a.crc, 0xD0E0396Au);  // CRC-32 of "alpha"
    EXPECT_EQ(a.attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(a.time, FileTimeToLocalDate(MakeFileTime(2019, 7, 8, 9, 10, 11)));
    EXPECT_EQ(a.method.rfind(L"LZMA2", 0), 0u);
    EXPECT_EQ(byName[L"empty.txt"].method, L"None");
    EXPECT_EQ(byName[L"sub"].method, L"None");
    EXPECT_NE(byName[L"sub"].attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(byName[L"dir\\b.bin"].size, 40000u);
    // Directories are held in Files with a trailing backslash.
    std::vector<std::wstring> files;
    for (int32_t i = 0; i < zip.Files.Count(); ++i) files.push_back(zip.Files[i]);
    EXPECT_NE(std::find(files.begin(), files.end(), L"sub\\"), files.end());
    EXPECT_NE(std::find(files.begin(), files.end(), L"dir\\c.txt"), files.end());
    for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].index, i);
}

TEST(List, FindsAnItemByItsStoredPathIgnoringCase) {
    std::wstring folder = MakeOracleArchive(L"list-index");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.List();
    int32_t index = zip.GetIndexByFilename(L"DIR\\C.TXT");
    ASSERT_GE(index, 0);
    EXPECT_EQ(zip.Files[index], L"dir\\c.txt");
    EXPECT_EQ(zip.GetIndexByFilename(L"nothing.txt"), -1);
}

// Each for what it is: not there, there but not to be read, no archive, an
// archive whose header is cut off or damaged.
TEST(List, ReportsWhatCannotBeOpened) {
    std::wstring folder = MakeOracleArchive(L"list-bad");
    std::string good = ReadFile(folder + L"\\arc.7z");
    WriteFile(folder + L"\\truncated.7z", good.substr(0, good.size() / 2));
    std::string flipped = good;
    flipped[flipped.size() - 3] ^= 0x40;  // in the header block, which its CRC then fails
    WriteFile(folder + L"\\flipped.7z", flipped);
    WriteFile(folder + L"\\text.7z", "this is not an archive at all");
    WriteFile(folder + L"\\random.7z", NoiseBytes(70000, 5));
    WriteFile(folder + L"\\empty.7z", "");
    WriteFile(folder + L"\\program.exe", std::string(200000, 'P'));
    WriteFile(folder + L"\\locked.7z", good);
    const HANDLE lock = ::CreateFileW((folder + L"\\locked.7z").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::pair<const wchar_t*, int32_t> cases[] = {{L"missing.7z", kFileNotFound},
                                                        {L"locked.7z", kCouldNotOpenFile},
                                                        {L"truncated.7z", kDamagedHeader},
                                                        {L"flipped.7z", kDamagedHeader},
                                                        {L"text.7z", kNotAnArchive},
                                                        {L"random.7z", kNotAnArchive},
                                                        {L"empty.7z", kNotAnArchive},
                                                        {L"program.exe", kNotSfxArchive}};
    for (const auto& [name, code] : cases) {
        TSevenZip zip(nullptr);
        Messages messages(zip);
        zip.SZFileName = folder + L"\\" + name;
        EXPECT_EQ(zip.List(), -1) << Narrow(name);
        EXPECT_EQ(zip.NumberOfFiles, -1);
        EXPECT_EQ(messages.codes, std::vector<int32_t>{code}) << Narrow(name);
        EXPECT_EQ(messages.files, std::vector<std::wstring>{zip.SZFileName});
        EXPECT_EQ(zip.LastError, code == kCouldNotOpenFile ? ERROR_SHARING_VIOLATION : 0u);
        EXPECT_EQ(zip.Extract(), -1);
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

TEST(Extract, WholeArchiveAnnouncesTheLibrarysTotal) {
    std::wstring folder = MakeOracleArchive(L"extract-all");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = folder + L"\\out";
    std::vector<uint64_t> totals;
    zip.OnPreProgress = [&](TObject*, uint64_t total) { totals.push_back(total); };
    std::vector<std::wstring> started;
    zip.OnExtractfile = [&](TObject*, const std::wstring& file, uint64_t) {
        if (started.empty() || started.back() != file) started.push_back(file);
    };
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(totals, std::vector<uint64_t>{45005});
    EXPECT_EQ(zip.ErrCode, kSuccess);
    ExpectSameTree(ReadTree(folder + L"\\src"), ReadTree(folder + L"\\out"), 20000000, false);
    EXPECT_FALSE(started.empty());
}

TEST(Extract, ChosenItemsAreSortedAndTheirSizesAnnounced) {
    std::wstring folder = MakeOracleArchive(L"extract-chosen");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.List();
    std::vector<std::wstring> listed;
    for (int32_t i = 0; i < zip.Files.Count(); ++i) listed.push_back(zip.Files[i]);
    int32_t b = zip.GetIndexByFilename(L"dir\\b.bin"), c = zip.GetIndexByFilename(L"dir\\c.txt");
    ASSERT_LT(b, c);

    zip.ExtrBaseDir = folder + L"\\out";
    zip.Files.Clear();
    zip.Files.Add(std::to_wstring(c));  // the higher index first: the library takes them sorted
    zip.Files.Add(L"DIR\\B.BIN");      // a stored path, found ignoring case
    std::vector<uint64_t> totals;
    zip.OnPreProgress = [&](TObject*, uint64_t total) { totals.push_back(total); };
    // After the last chosen file the next progress report ends the library's run,
    // which the library reports as a failure: every chosen file is written.
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(totals, std::vector<uint64_t>{45000});
    EXPECT_EQ(Written(folder + L"\\out"), (std::vector<std::wstring>{L"dir\\b.bin", L"dir\\c.txt"}));
    EXPECT_EQ(zip.Files.Count(), 2);  // Files is left as it was
}

TEST(Extract, WhatListLeftInFilesCanBeExtractedAsItIs) {
    std::wstring folder = MakeOracleArchive(L"extract-listed");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = folder + L"\\out";
    ASSERT_EQ(zip.List(), 6);  // directories end in a backslash in Files
    EXPECT_EQ(zip.Extract(), 0);
    ExpectSameTree(ReadTree(folder + L"\\src"), ReadTree(folder + L"\\out"), 20000000, false);
}

TEST(Extract, IndexOutsideTheArchiveExtractsNothing) {
    std::wstring folder = MakeOracleArchive(L"extract-range");
    for (const wchar_t* entry : {L"6", L"-1", L"no\\such.txt"}) {
        TSevenZip zip(nullptr);
        Messages messages(zip);
        zip.SZFileName = folder + L"\\arc.7z";
        zip.ExtrBaseDir = folder + L"\\out";
        zip.Files.Add(L"0");
        zip.Files.Add(entry);
        EXPECT_EQ(zip.Extract(), -1);
        EXPECT_EQ(messages.codes, std::vector<int32_t>{kIndexOutOfRange});
        EXPECT_EQ(messages.files, std::vector<std::wstring>{L""});
        EXPECT_FALSE(Exists(folder + L"\\out"));
    }
}

TEST(Extract, NoPathWritesEveryFileIntoTheBaseDirectory) {
    std::wstring folder = MakeOracleArchive(L"extract-nopath");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = folder + L"\\flat";
    zip.ExtractOptions.Include(ExtractOptsEnum::ExtractNoPath);
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(Written(folder + L"\\flat"), (std::vector<std::wstring>{L"a.txt", L"b.bin", L"c.txt", L"empty.txt"}));
}

TEST(Extract, ExistingFilesAreSkippedUnlessOverwriteIsAllowed) {
    std::wstring folder = MakeOracleArchive(L"extract-overwrite");
    std::wstring out = folder + L"\\out";
    MakeDirectories(out + L"\\dir");
    WriteFile(out + L"\\a.txt", "old a");
    WriteFile(out + L"\\dir\\c.txt", "old c");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = out;
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
    zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(ReadFile(out + L"\\dir\\c.txt"), std::string(5000, 'c'));
}

TEST(Extract, RenamedOutputAndTestModeWriteWhereAsked) {
    std::wstring folder = MakeOracleArchive(L"extract-rename");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = folder + L"\\out";
    EXPECT_EQ(zip.Extract(true), 0);
    EXPECT_FALSE(Exists(folder + L"\\out"));
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
}

TEST(Extract, CancelFromProgressStopsAndIsCleared) {
    std::wstring folder = FreshFolder(L"extract-cancel");
    WriteFile(folder + L"\\big.bin", NoiseBytes(3 << 20, 8));
    ASSERT_EQ(Run7z(L"a -t7z -mx1 arc.7z big.bin", folder), 0);
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = folder + L"\\out";
    zip.OnProgress = [&](TObject*, const std::wstring&, uint64_t, uint64_t) { zip.Cancel(); };
    EXPECT_NE(zip.Extract(), 0);
    ASSERT_FALSE(messages.codes.empty());
    EXPECT_EQ(messages.codes[0], kUserCanceled);
    EXPECT_FALSE(zip.CancelRequested());
}

TEST(Extract, DamagedDataIsReportedPerItem) {
    std::wstring folder = FreshFolder(L"extract-damaged");
    WriteFile(folder + L"\\stored.txt", std::string(3000, 's'));
    WriteFile(folder + L"\\packed.txt", std::string(3000, 'p'));
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
        TSevenZip zip(nullptr);
        Messages messages(zip);
        zip.SZFileName = archive;
        zip.ExtrBaseDir = folder + L"\\out";
        zip.Extract();
        ASSERT_FALSE(messages.codes.empty()) << Narrow(name);
        EXPECT_EQ(messages.codes.back(), code) << Narrow(name);
        EXPECT_EQ(messages.files.back(), folder + L"\\out\\" + last + L".txt") << Narrow(name);
    }
}

TEST(Extract, OutputThatCannotBeCreatedIsReported) {
    std::wstring folder = MakeOracleArchive(L"extract-cannot");
    WriteFile(folder + L"\\out", "a file where the base directory should be");
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.OnSetExtractName = [&](TObject*, uint32_t, std::wstring& name) { name += L".x"; };
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = folder + L"\\out";
    zip.Files.Add(L"a.txt");
    EXPECT_NE(zip.Extract(), 0);
    ASSERT_FALSE(messages.codes.empty());
    EXPECT_EQ(messages.codes[0], kCouldNotCreateFile);
    EXPECT_EQ(messages.files[0], folder + L"\\out\\a.txt");  // as it was before the handler's change
    EXPECT_NE(zip.LastError, 0u);
    // 7-Zip 26.03 then tests the item it could not write and reports a data error.
    EXPECT_LE(messages.codes.size(), 2u);
}

TEST(Extract, AttributesBelongToTheItemNotToItsNewFolder) {
    std::wstring folder = FreshFolder(L"extract-attributes");
    MakeDirectories(folder + L"\\src\\plain\\hiddendir");
    WriteFile(folder + L"\\src\\plain\\secret.txt", "hidden file");
    ::SetFileAttributesW((folder + L"\\src\\plain\\secret.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFile(folder + L"\\src\\plain\\readonly.txt", "read only");
    ::SetFileAttributesW((folder + L"\\src\\plain\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesW((folder + L"\\src\\plain\\hiddendir").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(Run7z(L"a -t7z ..\\arc.7z plain\\secret.txt plain\\readonly.txt plain\\hiddendir", folder + L"\\src"), 0);
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = folder + L"\\out";
    EXPECT_EQ(zip.Extract(), 0);
    DWORD parent = ::GetFileAttributesW((folder + L"\\out\\plain").c_str());
    EXPECT_EQ(parent & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY), 0u);
    EXPECT_NE(::GetFileAttributesW((folder + L"\\out\\plain\\secret.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_NE(::GetFileAttributesW((folder + L"\\out\\plain\\readonly.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(ReadFile(folder + L"\\out\\plain\\readonly.txt"), "read only");
    EXPECT_NE(::GetFileAttributesW((folder + L"\\out\\plain\\hiddendir").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(Extract, PathsLeavingTheBaseDirectoryAreRefused) {
    std::wstring folder = FreshFolder(L"extract-traversal");
    WriteFile(folder + L"\\payload.txt", "payload");
    // Stored paths as a hostile archive would carry them.
    const std::vector<std::wstring> hostile = {L"..\\escaped.txt", L"ok\\..\\..\\escaped2.txt", L"\\rooted.txt",
                                               L"ok\\.. \\escaped3.txt", L"ok/../../escaped4.txt", L"ok\\fine.txt"};
    TSevenZip zip(nullptr);
    size_t next = 0;
    zip.OnSetAddName = [&](TObject*, uint32_t, std::wstring& name) { name = hostile[next++ % hostile.size()]; };
    zip.SZFileName = folder + L"\\hostile.7z";
    for (size_t i = 0; i < hostile.size(); ++i) zip.Files.Add(folder + L"\\payload.txt");
    ASSERT_EQ(zip.Add(), 0);
    zip.OnSetAddName = nullptr;
    zip.List();
    ASSERT_EQ(zip.Files.Count(), static_cast<int32_t>(hostile.size()));

    Messages messages(zip);
    MakeDirectories(folder + L"\\deep\\base");
    zip.ExtrBaseDir = folder + L"\\deep\\base";
    EXPECT_EQ(zip.Extract(), 1);  // the library saw no failure; the refusals are one
    EXPECT_EQ(std::count(messages.codes.begin(), messages.codes.end(), kUnsafePath), 4);
    // A rooted path lands below the base, as 7-Zip lands it.
    EXPECT_EQ(Written(folder + L"\\deep"), (std::vector<std::wstring>{L"base\\ok\\fine.txt", L"base\\rooted.txt"}));
    EXPECT_FALSE(Exists(L"C:\\rooted.txt"));
    EXPECT_FALSE(Exists(folder + L"\\escaped4.txt"));
}

TEST(Extract, ArchivesWithoutAttributesStillMakeDirectories) {
    // 7-Zip leaves attributes out when told to: the directory flag of the item counts.
    std::wstring folder = FreshFolder(L"extract-noattrib");
    MakeDirectories(folder + L"\\src\\d\\e");
    WriteFile(folder + L"\\src\\d\\e\\f.txt", "deep");
    ASSERT_EQ(Run7z(L"a -t7z -mtr- -mtm- ..\\arc.7z d", folder + L"\\src"), 0);
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = folder + L"\\out";
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(ReadFile(folder + L"\\out\\d\\e\\f.txt"), "deep");
}

TEST(Extract, OverwriteReplacesFilesARestoreMadeReadOnlyOrHidden) {
    std::wstring folder = FreshFolder(L"extract-twice");
    MakeDirectories(folder + L"\\src");
    WriteFile(folder + L"\\src\\readonly.txt", "first");
    WriteFile(folder + L"\\src\\hidden.txt", "first");
    ::SetFileAttributesW((folder + L"\\src\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesW((folder + L"\\src\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(Run7z(L"a -t7z ..\\arc.7z *", folder + L"\\src"), 0);
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.SZFileName = folder + L"\\arc.7z";
    zip.ExtrBaseDir = folder + L"\\out";
    zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
    ASSERT_EQ(zip.Extract(), 0);
    ::SetFileAttributesW((folder + L"\\out\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(zip.Extract(), 0);  // the same restore again
    EXPECT_TRUE(messages.codes.empty());
    EXPECT_EQ(ReadFile(folder + L"\\out\\readonly.txt"), "first");
    EXPECT_NE(::GetFileAttributesW((folder + L"\\out\\readonly.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}
