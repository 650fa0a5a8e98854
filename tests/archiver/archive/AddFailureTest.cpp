// An Add that fails or is cancelled leaves whatever stood under the archive's
// names as it was, and writes nothing of its own; a setting or an input file the
// run cannot honour is an error, not a quiet change of what is written.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "archive/WideFiles.h"
#include "archive/WidePath.h"
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
    EXPECT_EQ(messages.files, std::vector<std::wstring>{folder + L"\\old.7z"});
    EXPECT_EQ(Names(ReadTree(folder)), (std::vector<std::wstring>{L"a.txt", L"old.7z", L"old.7z\\inside.txt"}));

    // In volumes, none is put in place when one cannot be.
    MakeDirectories(folder + L"\\set.7z.002");
    zip.SZFileName = folder + L"\\set.7z";
    zip.SetVolumeSize(2000);
    EXPECT_EQ(zip.Add(), -1);
    EXPECT_EQ(messages.files.back(), folder + L"\\set.7z.002");
    EXPECT_EQ(Names(ReadTree(folder)),
              (std::vector<std::wstring>{L"a.txt", L"old.7z", L"old.7z\\inside.txt", L"set.7z.002"}));
}

TEST(AddFailure, AVolumeSetIsReplacedWholeOrNotAtAll) {
    // Sets of 3000-byte volumes, each holding one stored file, content.bin; `held`
    // is the old volume (by number) that another program, a viewer say, holds open
    // without leave to delete it (in this process: the platform's sharing rules go
    // by the open, not the program).
    struct Case {
        const wchar_t* name;
        size_t oldContent, newContent;
        size_t held;  // 0: none
    };
    const Case cases[] = {
        {L"set-held-third", 14000, 20000, 3},
        {L"set-held-beyond-the-new", 14000, 5000, 5},
        {L"set-fewer", 17000, 5000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring folder = FreshFolder(c.name);
        const std::vector<std::wstring> old = PackVolumes(folder, L"set.7z", 3000, c.oldContent);
        ASSERT_GE(old.size(), c.held);
        const Tree before = ReadTree(folder);
        WriteFile(folder + L"\\content.bin", NoiseBytes(c.newContent, 8));
        FileHandle holder;
        if (c.held > 0)
            holder.Reset(::CreateFileW(old[c.held - 1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       0, nullptr));
        TSevenZip zip(nullptr);
        Messages messages(zip);
        zip.SZFileName = folder + L"\\set.7z";
        zip.AddRootDir = folder;
        zip.SetVolumeSize(3000);
        zip.Files.Add(folder + L"\\content.bin");
        const int32_t result = zip.Add();
        holder.Reset();
        EXPECT_TRUE(TemporaryFiles(folder).empty());
        if (c.held > 0) {
            EXPECT_EQ(result, -1);
            EXPECT_EQ(messages.codes, std::vector<int32_t>{kCouldNotCreateFile});
            EXPECT_EQ(messages.files, std::vector<std::wstring>{old[c.held - 1]});
            EXPECT_EQ(zip.LastError, static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
            EXPECT_EQ(Names(ReadTree(folder)), Names(before));
            for (const std::wstring& volume : old)
                EXPECT_TRUE(ReadFile(volume) == before.at(FileNamePart(volume)).content) << Narrow(volume);
        } else {
            EXPECT_EQ(result, 0);
            std::vector<std::wstring> names{L"content.bin"};
            for (const std::wstring& volume : zip.VolumeNames) names.push_back(FileNamePart(volume));
            EXPECT_EQ(Names(ReadTree(folder)), names);  // the old set's further volumes are gone
            EXPECT_EQ(Run7z(L"t " + FileNamePart(zip.VolumeNames[0]), folder), 0);
        }
    }
}

TEST(AddFailure, EntriesThatAreNotThereAreLeftOutAndSaid) {
    const std::wstring folder = FreshFolder(L"fail-missing");
    WriteFile(folder + L"\\a.txt", "here");
    MakeDirectories(folder + L"\\empty");
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.AddRootDir = folder;
    zip.SZFileName = folder + L"\\out.7z";
    // A wildcard that finds no file in a folder that is there is no error.
    for (const wchar_t* entry : {L"\\a.txt", L"\\missing.txt", L"\\missing\\*.*", L"\\empty\\*.txt"})
        zip.Files.Add(folder + entry);
    EXPECT_EQ(zip.Add(), 1);
    EXPECT_EQ(messages.codes, (std::vector<int32_t>{kFileNotFound, kFileNotFound}));
    EXPECT_EQ(messages.files, (std::vector<std::wstring>{folder + L"\\missing.txt", folder + L"\\missing\\*.*"}));
    std::vector<std::wstring> listed = ListedNames(folder + L"\\out.7z");
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"a.txt", L"empty\\"}));
}
