// An Add that fails or is cancelled leaves whatever stood under the archive's
// names as it was, and writes nothing of its own; a setting or an input file the
// run cannot honour is an error, not a quiet change of what is written.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
std::vector<std::wstring> Names(const Tree& tree) {
    std::vector<std::wstring> names;
    for (const auto& [name, entry] : tree) names.push_back(name);
    return names;
}

std::vector<std::wstring> ListedNames(const std::wstring& archive) {
    TSevenZip zip(nullptr);
    zip.SZFileName = archive;
    zip.List();
    std::vector<std::wstring> names;
    for (int32_t i = 0; i < zip.Files.Count(); ++i) names.push_back(zip.Files[i]);
    return names;
}

// data\big.bin, large enough for the library to report progress while packing it.
std::wstring MakeInput(const std::wstring& name) {
    std::wstring folder = FreshFolder(name);
    MakeDirectories(folder + L"\\data");
    WriteFile(folder + L"\\data\\big.bin", NoiseBytes(3 << 20, 11));
    return folder;
}

// An Add over the input, cancelled at the first progress report.
int32_t CancelledAdd(TSevenZip& zip, const std::wstring& folder) {
    zip.AddRootDir = folder + L"\\data";
    zip.Files.Add(folder + L"\\data\\*.*");
    zip.OnProgress = [&](TObject*, const std::wstring&, uint64_t, uint64_t) { zip.Cancel(); };
    return zip.Add();
}
}  // namespace

TEST(AddFailure, ACancelledRunLeavesTheArchiveItWasToReplace) {
    std::wstring folder = MakeInput(L"fail-cancel");
    WriteFile(folder + L"\\keep.7z", "an older archive");
    const Tree before = ReadTree(folder);
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.SZFileName = folder + L"\\keep.7z";
    EXPECT_NE(CancelledAdd(zip, folder), 0);
    EXPECT_EQ(messages.codes.at(0), kUserCanceled);
    EXPECT_EQ(ReadFile(folder + L"\\keep.7z"), "an older archive");
    EXPECT_EQ(Names(ReadTree(folder)), Names(before));  // no temporary left behind
    EXPECT_TRUE(zip.VolumeNames.empty());
}

TEST(AddFailure, ACancelledRunLeavesEveryVolumeOfAnEarlierSet) {
    std::wstring folder = MakeInput(L"fail-volumes");
    std::vector<std::wstring> volumes = PackVolumes(folder, L"set.7z", 3000, 8000);
    ASSERT_EQ(volumes.size(), 3u);
    const Tree before = ReadTree(folder);
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\set.7z";
    zip.SetVolumeSize(100000);
    EXPECT_NE(CancelledAdd(zip, folder), 0);
    const Tree after = ReadTree(folder);
    EXPECT_EQ(Names(after), Names(before));
    for (const std::wstring& volume : volumes) EXPECT_EQ(ReadFile(volume), before.at(volume.substr(folder.size() + 1)).content);
    EXPECT_EQ(ListedNames(folder + L"\\set.7z.001"), std::vector<std::wstring>{L"content.bin"});
}

TEST(AddFailure, ACancelledSelfExtractorLeavesNoProgram) {
    std::wstring folder = MakeInput(L"fail-sfx");
    const Tree before = ReadTree(folder);
    TSevenZip zip(nullptr);
    zip.SFXModule = SfxModulePath();
    zip.SetSFXCreate(true);
    zip.SZFileName = folder + L"\\setup.7z";
    EXPECT_NE(CancelledAdd(zip, folder), 0);
    EXPECT_EQ(Names(ReadTree(folder)), Names(before));
}

TEST(AddFailure, ASuccessfulRunReplacesTheOlderArchiveWhole) {
    std::wstring folder = FreshFolder(L"fail-replace");
    WriteFile(folder + L"\\a.txt", "new content");
    WriteFile(folder + L"\\old.7z", std::string(100000, 'o'));
    TSevenZip zip(nullptr);
    zip.AddRootDir = folder;
    zip.SZFileName = folder + L"\\old.7z";
    zip.Files.Add(folder + L"\\a.txt");
    ASSERT_EQ(zip.Add(), 0);
    EXPECT_EQ(zip.VolumeNames, std::vector<std::wstring>{folder + L"\\old.7z"});
    EXPECT_EQ(ListedNames(folder + L"\\old.7z"), std::vector<std::wstring>{L"a.txt"});
    EXPECT_EQ(Names(ReadTree(folder)), (std::vector<std::wstring>{L"a.txt", L"old.7z"}));
    EXPECT_EQ(Run7z(L"t old.7z", folder), 0);
}

TEST(AddFailure, ASettingTheLibraryRefusesWritesNothing) {
    // A dictionary given as 200 is beyond what the library takes: it refuses the
    // whole set, header encryption included, and an archive written anyway would
    // show its names to anyone.
    std::wstring folder = FreshFolder(L"fail-settings");
    WriteFile(folder + L"\\secret-name.txt", "content");
    WriteFile(folder + L"\\keep.7z", "an older archive");
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.AddRootDir = folder;
    zip.Password = L"secret";
    zip.AddOptions.Include(AddOptsEnum::AddEncryptFilename);
    zip.LZMACompressStrength = TCompressStrength::NORMAL;
    zip.LZMAStrength = 200;
    zip.SZFileName = folder + L"\\keep.7z";
    zip.Files.Add(folder + L"\\secret-name.txt");
    EXPECT_EQ(zip.Add(), -1);
    EXPECT_EQ(messages.codes, std::vector<int32_t>{kSettingsRejected});
    EXPECT_EQ(messages.texts, std::vector<std::string>{"Compression settings rejected"});
    EXPECT_EQ(zip.ErrCode, kSettingsRejected);
    EXPECT_EQ(ReadFile(folder + L"\\keep.7z"), "an older archive");
    EXPECT_EQ(Names(ReadTree(folder)), (std::vector<std::wstring>{L"keep.7z", L"secret-name.txt"}));

    // 2^40 passes the settings and is refused by the update itself: the same.
    zip.LZMAStrength = 40;
    EXPECT_EQ(zip.Add(), E_INVALIDARG);
    EXPECT_EQ(ReadFile(folder + L"\\keep.7z"), "an older archive");
    EXPECT_EQ(Names(ReadTree(folder)), (std::vector<std::wstring>{L"keep.7z", L"secret-name.txt"}));

    // Within range the archive is written, names hidden.
    zip.LZMAStrength = 20;
    messages.codes.clear();
    EXPECT_EQ(zip.Add(), 0);
    EXPECT_TRUE(messages.codes.empty());
    EXPECT_TRUE(ListedNames(folder + L"\\keep.7z").empty());
}

TEST(AddFailure, AFinishedArchiveThatCannotBePutInPlaceIsReported) {
    // A folder of the archive's name: no file can be moved over it.
    std::wstring folder = FreshFolder(L"fail-commit");
    WriteFile(folder + L"\\a.txt", NoiseBytes(5000, 9));
    MakeDirectories(folder + L"\\old.7z");
    WriteFile(folder + L"\\old.7z\\inside.txt", "kept");
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.AddRootDir = folder;
    zip.SZFileName = folder + L"\\old.7z";
    zip.Files.Add(folder + L"\\a.txt");
    EXPECT_EQ(zip.Add(), -1);
    EXPECT_EQ(messages.codes, std::vector<int32_t>{kCouldNotCreateFile});
    EXPECT_NE(zip.LastError, 0u);
    EXPECT_EQ(Names(ReadTree(folder)), (std::vector<std::wstring>{L"a.txt", L"old.7z", L"old.7z\\inside.txt"}));

    // In volumes, those put in place before the one that failed stay.
    MakeDirectories(folder + L"\\set.7z.002");
    zip.SZFileName = folder + L"\\set.7z";
    zip.SetVolumeSize(2000);
    EXPECT_EQ(zip.Add(), -1);
    EXPECT_EQ(Names(ReadTree(folder)), (std::vector<std::wstring>{L"a.txt", L"old.7z", L"old.7z\\inside.txt",
                                                                   L"set.7z.001", L"set.7z.002"}));
    EXPECT_EQ(FileSize(folder + L"\\set.7z.001"), 2000u);
}
