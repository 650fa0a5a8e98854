#include <gtest/gtest.h>

#include "archive/ExtractCallback.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
std::wstring Repeat(wchar_t c, size_t count) { return std::wstring(count, c); }
}  // namespace

TEST(BadInput, PathsOfFiveHundredCharactersRoundTrip) {
    std::wstring folder = FreshFolder(L"bad-long");
    // Four folders of 110 characters and a name of 60: beyond the classic limit,
    // each part within what file systems take.
    std::wstring relative = Repeat(L'a', 110) + L"\\" + Repeat(L'ą', 110) + L"\\" + Repeat(L'c', 110) + L"\\" +
                            Repeat(L'd', 110) + L"\\" + Repeat(L'e', 56) + L".txt";
    ASSERT_GE(relative.size(), 500u);
    std::wstring src = L"\\\\?\\" + folder + L"\\src";
    MakeDirectories(src + L"\\" + relative.substr(0, relative.rfind(L'\\')));
    ASSERT_TRUE(WriteFile(src + L"\\" + relative, "far down"));

    TSevenZip zip(nullptr);
    zip.AddOptions = {AddOptsEnum::AddRecurseDirs};
    zip.AddRootDir = folder + L"\\src";
    zip.SZFileName = folder + L"\\long.7z";
    zip.Files.Add(folder + L"\\src\\*.*");
    ASSERT_EQ(zip.Add(), 0);
    EXPECT_EQ(zip.GetIndexByFilename(relative), 4);
    EXPECT_EQ(Run7z(L"t long.7z", folder), 0);
    zip.Files.Clear();
    zip.ExtrBaseDir = folder + L"\\out";
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(ReadFile(L"\\\\?\\" + folder + L"\\out\\" + relative), "far down");
}

TEST(BadInput, AThousandVolumesAreWrittenAndReadBack) {
    std::wstring folder = FreshFolder(L"bad-thousand");
    std::vector<std::wstring> volumes = PackVolumes(folder, L"many.7z", 200, 200000);
    ASSERT_GE(volumes.size(), 1000u);
    EXPECT_EQ(volumes[999], folder + L"\\many.7z.1000");
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\many.7z.001";
    EXPECT_EQ(zip.List(), 1);
    zip.Files.Clear();
    zip.ExtrBaseDir = folder + L"\\out";
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_TRUE(ReadFile(folder + L"\\out\\content.bin") == NoiseBytes(200000, 7));
    EXPECT_EQ(Run7z(L"t many.7z.001", folder), 0);
}

// A volume cut short, the last one or one before it, is named as such: no
// volume past the end of the set, which was never written, is asked for.
TEST(BadInput, ATruncatedVolumeOfASetIsNamedAndNoVolumePastItsEndIsAskedFor) {
    for (size_t cut : {2u, 1u, 0u}) {
        std::wstring folder = FreshFolder(L"bad-truncated-set");
        std::vector<std::wstring> volumes = PackVolumes(folder, L"set.7z", 2000, 5000);
        ASSERT_EQ(volumes.size(), 3u);
        std::string bytes = ReadFile(volumes[cut]);
        WriteFile(volumes[cut], bytes.substr(0, bytes.size() / 2));
        TSevenZip zip(nullptr);
        std::vector<std::wstring> asked;
        zip.OnOpenVolume = [&](std::wstring& name, bool, bool& cancel) {
            asked.push_back(name);
            cancel = true;
        };
        Messages messages(zip);
        zip.SZFileName = volumes[0];
        EXPECT_EQ(zip.List(), -1);
        EXPECT_EQ(messages.codes, std::vector<int32_t>{kShortVolume}) << cut;
        EXPECT_EQ(messages.files, std::vector<std::wstring>{volumes[cut]});
        EXPECT_TRUE(asked.empty());
    }
}

TEST(BadInput, ItemResultsBeyondTheFourClassicCodesAreDataErrorsOrAWrongPassword) {
    // Newer libraries report unavailable data, unexpected end, data after the end,
    // headers errors and wrong passwords with codes 4 to 9; a wrong password is
    // said as at the open.
    TSevenZip zip(nullptr);
    Messages messages(zip);
    ComPtr<TMyArchiveExtractCallback> callback(new TMyArchiveExtractCallback(zip.Host(), zip.InArchive(), {}));
    for (INT32 result = 0; result <= 9; ++result) callback->SetOperationResult(result);
    EXPECT_EQ(messages.codes, (std::vector<int32_t>{kUnsupportedMethod, kDataError, kCRCError, kDataError, kDataError,
                                                    kDataError, kDataError, kDataError, kWrongPassword}));
}
