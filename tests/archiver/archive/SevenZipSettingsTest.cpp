#include <gtest/gtest.h>

#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"
#include "support/ChildProcess.h"
#include "TestPaths.h"

using namespace ArchiveTest;

TEST(SevenZipSettings, ConstructionLeavesTheDefaults) {
    TComponent owner(nullptr);
    auto* zip = new TSevenZip(&owner);
    EXPECT_EQ(zip->Owner(), &owner);
    EXPECT_TRUE(zip->AddRootDir.empty());
    EXPECT_FALSE(zip->SFXCreate());
    EXPECT_EQ(zip->SFXModule, L"7z.sfx");
    EXPECT_TRUE(zip->AddOptions.Empty());
    EXPECT_TRUE(zip->ExtractOptions.Empty());
    EXPECT_EQ(zip->LZMACompressType, TCompressType::LZMA);
    EXPECT_EQ(zip->LZMACompressStrength, TCompressStrength::SAVE);
    EXPECT_EQ(zip->LZMAStrength, 0);
    EXPECT_EQ(zip->LPPMDmem, 0);
    EXPECT_EQ(zip->LPPMDsize, 0);
    EXPECT_EQ(zip->NumberOfFiles, -1);
    EXPECT_EQ(zip->VolumeSize(), 0);
    EXPECT_TRUE(zip->Password.empty());
    EXPECT_EQ(zip->Files.Count(), 0);
    EXPECT_FALSE(zip->CancelRequested());
    EXPECT_NE(zip->InArchive(), nullptr);
    EXPECT_FALSE(zip->OnMessage);
}

TEST(SevenZipSettings, OptionSetsUseTheStoredBitLayout) {
    AddOpts add{AddOptsEnum::AddRecurseDirs, AddOptsEnum::AddEncryptFilename};
    EXPECT_EQ(add.Bits(), 1 + 16);
    ExtractOpts extract{ExtractOptsEnum::ExtractOverwrite};
    EXPECT_EQ(extract.Bits(), 2);
}

TEST(SevenZipSettings, ReportingWithoutHandlerStillSetsTheCode) {
    TSevenZip zip(nullptr);
    zip.ReportError(kNoFilesToAdd, L"");
    EXPECT_EQ(zip.ErrCode, kNoFilesToAdd);
    Messages messages(zip);
    zip.ReportError(kCRCError, L"C:\\out\\a.txt");
    zip.ReportError(kUnsafePath, L"C:\\out\\b.txt");
    ASSERT_EQ(messages.codes, (std::vector<int32_t>{kCRCError, kUnsafePath}));
    EXPECT_EQ(messages.texts, (std::vector<std::string>{"CRC Error", "Path outside the extract directory"}));
    EXPECT_EQ(messages.files[0], L"C:\\out\\a.txt");
}

TEST(SevenZipSettings, SfxCreateNeedsAReadableNonEmptyModule) {
    std::wstring folder = FreshFolder(L"settings-sfx");
    TSevenZip zip(nullptr);
    zip.SetVolumeSize(500);
    zip.SFXModule = folder + L"\\missing.sfx";
    zip.SetSFXCreate(true);
    EXPECT_FALSE(zip.SFXCreate());
    WriteFile(folder + L"\\empty.sfx", "");
    zip.SFXModule = folder + L"\\empty.sfx";
    zip.SetSFXCreate(true);
    EXPECT_FALSE(zip.SFXCreate());
    EXPECT_EQ(zip.VolumeSize(), 500);
}

TEST(SevenZipSettings, VolumeSizeStaysAboveTheModule) {
    std::wstring folder = FreshFolder(L"settings-volume");
    WriteFile(folder + L"\\module.sfx", std::string(1000, 'M'));
    TSevenZip zip(nullptr);
    zip.SFXModule = folder + L"\\module.sfx";
    zip.SetSFXCreate(true);
    ASSERT_TRUE(zip.SFXCreate());
    EXPECT_EQ(zip.SFXOffset, 1000u);
    zip.SetVolumeSize(500);
    EXPECT_EQ(zip.VolumeSize(), 1007);
    zip.SetVolumeSize(1003);  // the setter only lifts what lies below the module
    EXPECT_EQ(zip.VolumeSize(), 1003);
    zip.SetSFXCreate(false);
    zip.SetSFXCreate(true);  // turning it on lifts to module + 7
    EXPECT_EQ(zip.VolumeSize(), 1007);
    zip.SetVolumeSize(0);
    EXPECT_EQ(zip.VolumeSize(), 0);
    zip.SetVolumeSize(-1);  // kept; the writer reads it as 4,294,967,295
    EXPECT_EQ(zip.VolumeSize(), -1);
    zip.SetSFXCreate(false);
    zip.SetVolumeSize(500);
    EXPECT_EQ(zip.VolumeSize(), 500);
}

TEST(WidePath, SplitsNamesLikeTheComponentNeeds) {
    EXPECT_EQ(FileNamePart(L"C:\\a\\b.7z.001"), L"b.7z.001");
    EXPECT_EQ(FileNamePart(L"C:x.txt"), L"x.txt");
    EXPECT_EQ(DirectoryPart(L"C:\\a\\b.7z"), L"C:\\a\\");
    EXPECT_EQ(ExtensionOf(L"C:\\a.b\\c"), L"");
    EXPECT_EQ(ExtensionOf(L"C:\\a\\b.7z.001"), L".001");
    EXPECT_EQ(ChangeExtension(L"C:\\a\\setup", L".exe"), L"C:\\a\\setup.exe");
    EXPECT_EQ(ChangeExtension(L"C:\\a\\b.7z", L".exe"), L"C:\\a\\b.exe");
    EXPECT_EQ(VolumeNumber(1), L"001");
    EXPECT_EQ(VolumeNumber(12), L"012");
    EXPECT_EQ(VolumeNumber(1000), L"1000");
    int64_t value = 0;
    EXPECT_TRUE(ParseSignedDecimal(L"-1", value));
    EXPECT_EQ(value, -1);
    EXPECT_FALSE(ParseDecimal(L"-1", value));
    EXPECT_FALSE(ParseSignedDecimal(L"1x", value));
    EXPECT_FALSE(ParseSignedDecimal(L"", value));
    EXPECT_FALSE(ParseSignedDecimal(L"99999999999999999999", value));
}

TEST(SevenZipSettings, MissingLibraryEndsConstructionWithTheLoadMessage) {
    // archivecli away from the library: the component cannot be created.
    std::wstring folder = FreshFolder(L"settings-nolibrary");
    std::string tool = std::string(NORVANE_BIN_DIR) + "\\archivecli.exe";
    ASSERT_TRUE(::CopyFileA(tool.c_str(), (Narrow(folder) + "\\archivecli.exe").c_str(), FALSE));
    std::string command = "/c archivecli.exe list none.7z 2> message.txt";
    ChildProcess process("C:\\windows\\system32\\cmd.exe", command, Narrow(folder));
    ASSERT_TRUE(process.Started());
    EXPECT_EQ(process.Wait(30000), std::optional<DWORD>(3));
    EXPECT_EQ(ReadFile(folder + L"\\message.txt"),
              "Could not load CreateObject function from 7za.dll\r\nPerhaps 7za.dll not found\n");
}
