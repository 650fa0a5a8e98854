// The component and 7-Zip's own command line (7z.exe on the same library) check
// each other: what one packs, the other restores byte for byte, with names,
// times and attributes.
#include <gtest/gtest.h>

#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
constexpr uint64_t kDosStep = 20000000;  // two seconds in 100-ns units

// Polish names, nested and empty folders, an empty file, read-only and hidden
// files, incompressible and compressible content, times with odd seconds.
std::wstring MakeRichTree(const std::wstring& folder) {
    std::wstring src = folder + L"\\src";
    MakeDirectories(src + L"\\gęślą jaźń\\głęboko");
    MakeDirectories(src + L"\\pusty");
    WriteFile(src + L"\\zażółć.txt", "zażółć gęślą jaźń");
    WriteFile(src + L"\\gęślą jaźń\\głęboko\\szum.bin", NoiseBytes(300000, 21));
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + "\n";
    WriteFile(src + L"\\gęślą jaźń\\tekst.txt", text);
    WriteFile(src + L"\\empty.dat", "");
    WriteFile(src + L"\\readonly.txt", "do not change");
    WriteFile(src + L"\\hidden.txt", "not shown");
    SetLastWriteTime(src + L"\\zażółć.txt", MakeFileTime(2018, 2, 3, 4, 5, 7, 123));
    SetLastWriteTime(src + L"\\gęślą jaźń\\tekst.txt", MakeFileTime(2001, 9, 9, 1, 46, 41, 999));
    ::SetFileAttributesW((src + L"\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesW((src + L"\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    return src;
}

struct ComponentSettings {
    const wchar_t* name;
    TCompressType type = TCompressType::LZMA;
    TCompressStrength strength = TCompressStrength::SAVE;
    bool solid = false;
    const wchar_t* password = L"";
    bool encryptNames = false;
    int32_t volumeSize = 0;
    bool selfExtracting = false;
};

struct OracleSettings {
    const wchar_t* name;
    const wchar_t* switches;
    const wchar_t* password = L"";
    const wchar_t* archive = L"arc.7z";
};

void PrintTo(const ComponentSettings& settings, std::ostream* out) { *out << Narrow(settings.name); }
void PrintTo(const OracleSettings& settings, std::ostream* out) { *out << Narrow(settings.switches); }
}  // namespace

class ComponentToSevenZip : public testing::TestWithParam<ComponentSettings> {};

TEST_P(ComponentToSevenZip, SevenZipRestoresWhatTheComponentPacked) {
    const ComponentSettings& settings = GetParam();
    std::wstring folder = FreshFolder(std::wstring(L"oracle-to7z-") + settings.name);
    std::wstring src = MakeRichTree(folder);
    TSevenZip zip(nullptr);
    zip.AddOptions = {AddOptsEnum::AddRecurseDirs};
    if (settings.solid) zip.AddOptions.Include(AddOptsEnum::AddSolid);
    if (settings.encryptNames) zip.AddOptions.Include(AddOptsEnum::AddEncryptFilename);
    zip.LZMACompressType = settings.type;
    zip.LZMACompressStrength = settings.strength;
    zip.Password = settings.password;
    if (settings.selfExtracting) {
        zip.SFXModule = SfxModulePath();
        zip.SetSFXCreate(true);
    }
    zip.SetVolumeSize(settings.volumeSize);
    zip.AddRootDir = src;
    zip.SZFileName = folder + L"\\arc.7z";
    zip.Files.Add(src + L"\\*.*");
    ASSERT_EQ(zip.Add(), 0);
    std::wstring first = FileNamePart(zip.VolumeNames.front());
    std::wstring password = *settings.password ? std::wstring(L" -p") + settings.password : L"";
    EXPECT_EQ(Run7z(L"t" + password + L" " + first, folder), 0);
    ASSERT_EQ(Run7z(L"x" + password + L" -oout " + first, folder), 0);
    ExpectSameTree(ReadTree(src), ReadTree(folder + L"\\out"));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ComponentToSevenZip,
    testing::Values(ComponentSettings{L"store"},
                    ComponentSettings{L"fast", TCompressType::LZMA, TCompressStrength::FAST},
                    ComponentSettings{L"ultrasolid", TCompressType::LZMA, TCompressStrength::ULTRA, true},
                    ComponentSettings{L"ppmd", TCompressType::PPMD},
                    ComponentSettings{L"encrypted", TCompressType::LZMA, TCompressStrength::NORMAL, false, L"tajne",
                                      true},
                    ComponentSettings{L"volumes", TCompressType::LZMA, TCompressStrength::SAVE, false, L"", false,
                                      100000},
                    ComponentSettings{L"selfextracting", TCompressType::LZMA, TCompressStrength::FAST, false, L"",
                                      false, 0, true}),
    [](const testing::TestParamInfo<ComponentSettings>& info) { return Narrow(info.param.name); });

class SevenZipToComponent : public testing::TestWithParam<OracleSettings> {};

TEST_P(SevenZipToComponent, ComponentRestoresWhatSevenZipPacked) {
    const OracleSettings& settings = GetParam();
    std::wstring folder = FreshFolder(std::wstring(L"oracle-from7z-") + settings.name);
    std::wstring src = MakeRichTree(folder);
    ASSERT_EQ(Run7z(std::wstring(L"a ") + settings.switches + L" ..\\arc.7z *", src), 0);
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\" + settings.archive;
    zip.Password = settings.password;
    zip.ExtrBaseDir = folder + L"\\out";
    ASSERT_EQ(zip.List(), static_cast<int32_t>(ReadTree(src).size()));
    zip.Files.Clear();
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(zip.ErrCode, kSuccess);
    // The component stamps files in the two-second steps of the DOS format.
    ExpectSameTree(ReadTree(src), ReadTree(folder + L"\\out"), kDosStep);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, SevenZipToComponent,
    testing::Values(OracleSettings{L"store", L"-t7z -mx0"}, OracleSettings{L"fast", L"-t7z -mx1"},
                    OracleSettings{L"solid", L"-t7z -mx9 -ms=on"}, OracleSettings{L"lzma", L"-t7z -m0=LZMA"},
                    OracleSettings{L"lzma2", L"-t7z -m0=LZMA2 -ms=off"}, OracleSettings{L"ppmd", L"-t7z -m0=PPMd"},
                    OracleSettings{L"encrypted", L"-t7z -ptajne", L"tajne"},
                    OracleSettings{L"encryptednames", L"-t7z -ptajne -mhe=on", L"tajne"},
                    OracleSettings{L"volumes", L"-t7z -v100k", L"", L"arc.7z.001"}),
    [](const testing::TestParamInfo<OracleSettings>& info) { return Narrow(info.param.name); });

TEST(SevenZipPasswords, WrongOrMissingPasswordIsNeverReportedAsSuccess) {
    std::wstring folder = FreshFolder(L"oracle-passwords");
    WriteFile(folder + L"\\secret.txt", std::string(20000, 's'));
    ASSERT_EQ(Run7z(L"a -t7z -ptajne data.7z secret.txt", folder), 0);
    ASSERT_EQ(Run7z(L"a -t7z -ptajne -mhe=on names.7z secret.txt", folder), 0);
    for (const wchar_t* password : {L"zle", L""}) {
        TSevenZip zip(nullptr);
        Messages messages(zip);
        zip.Password = password;
        zip.SZFileName = folder + L"\\data.7z";
        zip.ExtrBaseDir = folder + L"\\out";
        EXPECT_EQ(zip.List(), 1);  // the names are readable
        zip.Files.Clear();
        int32_t result = zip.Extract();
        EXPECT_TRUE(result != 0 || !messages.codes.empty()) << Narrow(password);
        // Encrypted data that does not decode is a password's fault, named by the output.
        if (!messages.codes.empty()) {
            EXPECT_EQ(messages.codes.back(), kWrongPassword) << Narrow(password);
            EXPECT_EQ(messages.files.back(), folder + L"\\out\\secret.txt") << Narrow(password);
        }
        EXPECT_NE(ReadFile(folder + L"\\out\\secret.txt"), std::string(20000, 's'));

        messages.codes.clear();
        zip.SZFileName = folder + L"\\names.7z";
        EXPECT_EQ(zip.List(), -1);
        EXPECT_EQ(messages.codes, std::vector<int32_t>{kWrongPassword});  // not a missing file
    }
}
