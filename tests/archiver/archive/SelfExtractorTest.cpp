#include <gtest/gtest.h>

#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
std::wstring MakeSource(const std::wstring& folder) {
    WriteTree(folder + L"\\src", {{L"readme.txt", "read me"}, {L"docs\\manual.bin", NoiseBytes(70000, 11)}});
    return folder + L"\\src";
}
}  // namespace

// Behind 7-Zip's module, or a module smaller than the searched block, the archive
// is found where the module ends; the next archive opened starts at its first byte.
TEST(SelfExtractor, TheArchiveIsFoundBehindAnyModuleAndTheNextStartsAtItsFirstByte) {
    std::wstring folder = FreshFolder(L"sfx-found");
    std::wstring src = MakeSource(folder);
    ASSERT_EQ(Run7z(L"a -t7z -sfx\"" + SfxModulePath() + L"\" ..\\setup.exe *", src), 0);
    ASSERT_EQ(Run7z(L"a -t7z ..\\plain.7z *", src), 0);
    WriteFile(folder + L"\\small.sfx", std::string(70000, 'M'));
    ASSERT_EQ(PackFiles(folder + L"\\small.exe", src, {src + L"\\*.*"}, [&](TSevenZip& zip) {
                  zip.SFXModule = folder + L"\\small.sfx";
                  zip.SetSFXCreate(true);
              }),
              0);
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\setup.exe";
    EXPECT_EQ(zip.List(), 3);
    EXPECT_TRUE(zip.IsSFX);
    EXPECT_EQ(zip.SFXOffset, FileSize(SfxModulePath()));
    EXPECT_EQ(zip.GetIndexByFilename(L"README.TXT"), zip.GetIndexByFilename(L"readme.txt"));
    zip.Files.Clear();
    zip.ExtrBaseDir = folder + L"\\out";
    EXPECT_EQ(zip.Extract(), 0);
    ExpectSameTree(ReadTree(src), ReadTree(folder + L"\\out"), 20000000, false);
    zip.SZFileName = folder + L"\\plain.7z";
    EXPECT_EQ(zip.List(), 3);
    EXPECT_FALSE(zip.IsSFX);
    EXPECT_EQ(zip.SFXOffset, 0u);
    zip.SZFileName = folder + L"\\small.exe";
    EXPECT_EQ(zip.List(), 2);  // not recursing: docs and readme.txt
    EXPECT_EQ(zip.SFXOffset, 70000u);
}

// Volumes of a self-extractor hold at least the module and the archive's first
// seven bytes; a module that cannot be read, or holds nothing, makes none.
TEST(SelfExtractor, VolumesStayAboveTheModuleAndAreReadFromTheProgram) {
    std::wstring folder = FreshFolder(L"sfx-volumes");
    std::wstring src = MakeSource(folder);
    WriteFile(folder + L"\\empty.sfx", "");
    for (const wchar_t* module : {L"\\missing.sfx", L"\\empty.sfx"}) {
        TSevenZip zip(nullptr);
        zip.SetVolumeSize(500);
        zip.SFXModule = folder + module;
        zip.SetSFXCreate(true);
        EXPECT_FALSE(zip.SFXCreate());
        EXPECT_EQ(zip.VolumeSize(), 500);
    }
    const auto module = static_cast<int32_t>(FileSize(SfxModulePath()));
    TSevenZip zip(nullptr);
    zip.SetVolumeSize(500);
    zip.SFXModule = SfxModulePath();
    zip.SetSFXCreate(true);  // turning it on lifts to module + 7
    EXPECT_EQ(zip.VolumeSize(), module + 7);
    zip.SetVolumeSize(module - 1000);  // the setter lifts what lies below the module
    EXPECT_EQ(zip.VolumeSize(), module + 7);
    zip.SetVolumeSize(module + 3);
    EXPECT_EQ(zip.VolumeSize(), module + 3);
    zip.SetVolumeSize(module + 50000);  // the module and 50,000 bytes of the archive
    zip.SZFileName = folder + L"\\setup.7z";
    zip.AddOptions = {AddOptsEnum::AddRecurseDirs};
    zip.AddRootDir = src;
    zip.Files.Add(src + L"\\*.*");
    ASSERT_EQ(zip.Add(), 0);
    EXPECT_EQ(zip.VolumeNames, (std::vector<std::wstring>{folder + L"\\setup.exe", folder + L"\\setup.exe.002"}));
    EXPECT_EQ(FileSize(folder + L"\\setup.exe"), static_cast<uint64_t>(module) + 50000);
    zip.SetSFXCreate(false);
    zip.SetVolumeSize(500);
    EXPECT_EQ(zip.VolumeSize(), 500);
    zip.Files.Clear();
    zip.ExtrBaseDir = folder + L"\\out";
    EXPECT_EQ(zip.Extract(), 0);
    ExpectSameTree(ReadTree(src), ReadTree(folder + L"\\out"), 20000000, false);
}
