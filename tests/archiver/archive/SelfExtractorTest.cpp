#include <gtest/gtest.h>

#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
std::wstring MakeSource(const std::wstring& folder) {
    std::wstring src = folder + L"\\src";
    MakeDirectories(src + L"\\docs");
    WriteFile(src + L"\\readme.txt", "read me");
    WriteFile(src + L"\\docs\\manual.bin", NoiseBytes(70000, 11));
    return src;
}

uint64_t ModuleSize(const std::wstring& module) { return FileSize(module); }
}  // namespace

TEST(SelfExtractor, ArchivesMadeBy7ZipWithTheModuleAreFoundBehindIt) {
    std::wstring folder = FreshFolder(L"sfx-7zip");
    std::wstring src = MakeSource(folder);
    ASSERT_EQ(Run7z(L"a -t7z -sfx\"" + SfxModulePath() + L"\" ..\\setup.exe *", src), 0);
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\setup.exe";
    EXPECT_EQ(zip.List(), 3);
    EXPECT_TRUE(zip.IsSFX);
    EXPECT_EQ(zip.SFXOffset, ModuleSize(SfxModulePath()));
    zip.Files.Clear();
    zip.ExtrBaseDir = folder + L"\\out";
    EXPECT_EQ(zip.Extract(), 0);
    ExpectSameTree(ReadTree(src), ReadTree(folder + L"\\out"), 20000000, false);
    EXPECT_EQ(zip.GetIndexByFilename(L"README.TXT"), zip.GetIndexByFilename(L"readme.txt"));
    EXPECT_GE(zip.GetIndexByFilename(L"readme.txt"), 0);
}

TEST(SelfExtractor, ArchiveOpenedAfterASelfExtractorStartsAtItsFirstByte) {
    std::wstring folder = FreshFolder(L"sfx-stale");
    std::wstring src = MakeSource(folder);
    ASSERT_EQ(Run7z(L"a -t7z -sfx\"" + SfxModulePath() + L"\" ..\\setup.exe *", src), 0);
    ASSERT_EQ(Run7z(L"a -t7z ..\\plain.7z *", src), 0);
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\setup.exe";
    ASSERT_EQ(zip.List(), 3);
    ASSERT_TRUE(zip.IsSFX);
    zip.SZFileName = folder + L"\\plain.7z";
    EXPECT_EQ(zip.List(), 3);
    EXPECT_FALSE(zip.IsSFX);
    EXPECT_EQ(zip.SFXOffset, 0u);
    EXPECT_EQ(zip.GetIndexByFilename(L"readme.txt") >= 0, true);
}

TEST(SelfExtractor, ProgramWithoutArchiveIsReportedAsSuch) {
    std::wstring folder = FreshFolder(L"sfx-none");
    ASSERT_TRUE(::CopyFileW(SfxModulePath().c_str(), (folder + L"\\bare.exe").c_str(), FALSE));
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.SZFileName = folder + L"\\bare.exe";
    EXPECT_EQ(zip.List(), -1);
    EXPECT_EQ(zip.Extract(), -1);
    EXPECT_EQ(zip.GetIndexByFilename(L"x"), -1);
    EXPECT_EQ(messages.codes, (std::vector<int32_t>{kNotSfxArchive, kNotSfxArchive}));
    EXPECT_FALSE(zip.IsSFX);
}

TEST(SelfExtractor, SmallModuleIsFoundByTheBlockSearch) {
    // A module smaller than the searched block: the archive lies inside it.
    std::wstring folder = FreshFolder(L"sfx-block");
    std::wstring src = MakeSource(folder);
    ASSERT_EQ(Run7z(L"a -t7z ..\\plain.7z *", src), 0);
    WriteFile(folder + L"\\small.sfx", std::string(70000, 'M'));
    TSevenZip zip(nullptr);
    zip.SFXModule = folder + L"\\small.sfx";
    zip.SetSFXCreate(true);
    zip.SZFileName = folder + L"\\small.exe";
    zip.AddRootDir = src;
    zip.Files.Add(src + L"\\*.*");  // not recursing: docs and readme.txt
    ASSERT_EQ(zip.Add(), 0);
    zip.SetSFXCreate(false);
    EXPECT_EQ(zip.List(), 2);
    EXPECT_EQ(zip.SFXOffset, 70000u);
}

TEST(SelfExtractor, VolumesOfASelfExtractorAreReadFromTheExe) {
    std::wstring folder = FreshFolder(L"sfx-volumes");
    std::wstring src = MakeSource(folder);
    const auto module = static_cast<int32_t>(ModuleSize(SfxModulePath()));
    TSevenZip zip(nullptr);
    zip.SFXModule = SfxModulePath();
    zip.SetSFXCreate(true);
    zip.SetVolumeSize(module - 1000);  // below the module: lifted to module + 7
    EXPECT_EQ(zip.VolumeSize(), module + 7);
    zip.SetVolumeSize(module + 50000);  // the module and 50,000 bytes of the archive
    zip.SZFileName = folder + L"\\setup.7z";
    zip.AddOptions = {AddOptsEnum::AddRecurseDirs};
    zip.AddRootDir = src;
    zip.Files.Add(src + L"\\*.*");
    ASSERT_EQ(zip.Add(), 0);
    ASSERT_EQ(zip.VolumeNames.size(), 2u);
    EXPECT_EQ(zip.VolumeNames[0], folder + L"\\setup.exe");
    EXPECT_EQ(zip.VolumeNames[1], folder + L"\\setup.exe.002");
    EXPECT_EQ(FileSize(zip.VolumeNames[0]), static_cast<uint64_t>(module) + 50000);
    zip.SetSFXCreate(false);
    zip.Files.Clear();
    zip.ExtrBaseDir = folder + L"\\out";
    EXPECT_EQ(zip.Extract(), 0);
    ExpectSameTree(ReadTree(src), ReadTree(folder + L"\\out"), 20000000, false);
}
