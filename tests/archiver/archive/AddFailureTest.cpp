// An Add that fails or is cancelled leaves whatever stood under the archive's
// names as it was, and writes nothing of its own; a setting or an input file the
// run cannot honour is an error, not a quiet change of what is written.
#include <gtest/gtest.h>

#include <windows.h>

#include "archive/WideFiles.h"
#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

// Cancelled at the first progress report: an archive, a set of volumes or a
// self-extractor, whatever was there before stays, and nothing is left beside it.
TEST(AddFailure, ACancelledRunLeavesWhatItWasToReplace) {
    for (const int kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        const std::wstring folder = FreshFolder(L"fail-cancel");
        WriteTree(folder, {{L"data\\big.bin", NoiseBytes(3 << 20, 11)}});
        WriteFile(folder + L"\\keep.7z", "an older archive");
        const std::vector<std::wstring> volumes = kind == 1 ? PackVolumes(folder, L"set.7z", 3000, 8000) : std::vector<std::wstring>{};
        const Tree before = ReadTree(folder);
        TSevenZip zip(nullptr);
        Messages messages(zip);
        zip.SZFileName = folder + (kind == 1 ? L"\\set.7z" : L"\\keep.7z");
        if (kind == 1) zip.SetVolumeSize(100000);
        if (kind == 2) {
            zip.SFXModule = SfxModulePath();
            zip.SetSFXCreate(true);
        }
        zip.LZMACompressStrength = TCompressStrength::NORMAL;
        zip.AddRootDir = folder + L"\\data";
        zip.Files.Add(folder + L"\\data\\*.*");
        zip.OnProgress = [&](TObject*, const std::wstring&, uint64_t, uint64_t) { zip.Cancel(); };
        EXPECT_EQ(zip.Add(), -1);  // not 1, which would say the archive was written
        EXPECT_EQ(messages.codes.at(0), kUserCanceled);
        EXPECT_FALSE(zip.CancelRequested());
        EXPECT_TRUE(zip.VolumeNames.empty());
        ExpectSameTree(before, ReadTree(folder));
        if (kind == 1) {
            EXPECT_EQ(ListedNames(volumes[0]), std::vector<std::wstring>{L"content.bin"});
        }
    }
}

TEST(AddFailure, ASettingTheLibraryRefusesWritesNothing) {
    // A dictionary given as 200 is beyond what the library takes: it refuses the
    // whole set, header encryption included, and an archive written anyway would
    // show its names to anyone.
    std::wstring folder = FreshFolder(L"fail-settings");
    const std::string old(100000, 'o');
    WriteTree(folder, {{L"secret-name.txt", "content"}, {L"keep.7z", old}});
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
    // 2^40 passes the settings and is refused by the update itself: the same.
    zip.LZMAStrength = 40;
    EXPECT_EQ(zip.Add(), E_INVALIDARG);
    EXPECT_TRUE(ReadFile(folder + L"\\keep.7z") == old);
    EXPECT_EQ(Names(folder), (std::vector<std::wstring>{L"keep.7z", L"secret-name.txt"}));
    // Within range the archive is written, names hidden, and replaces the old one whole.
    zip.LZMAStrength = 20;
    messages.codes.clear();
    EXPECT_EQ(zip.Add(), 0);
    EXPECT_TRUE(messages.codes.empty());
    EXPECT_TRUE(ListedNames(folder + L"\\keep.7z").empty());
    EXPECT_EQ(ListedNames(folder + L"\\keep.7z", L"secret"), std::vector<std::wstring>{L"secret-name.txt"});
    EXPECT_EQ(Names(folder), (std::vector<std::wstring>{L"keep.7z", L"secret-name.txt"}));
    EXPECT_EQ(Run7z(L"t -psecret keep.7z", folder), 0);
}

TEST(AddFailure, AFinishedArchiveThatCannotBePutInPlaceIsReported) {
    // A folder of the archive's name: no file can be moved over it.
    std::wstring folder = FreshFolder(L"fail-commit");
    WriteTree(folder, {{L"a.txt", NoiseBytes(5000, 9)}, {L"old.7z\\inside.txt", "kept"}});
    TSevenZip zip(nullptr);
    Messages messages(zip);
    zip.AddRootDir = folder;
    zip.SZFileName = folder + L"\\old.7z";
    zip.Files.Add(folder + L"\\a.txt");
    EXPECT_EQ(zip.Add(), -1);
    EXPECT_EQ(messages.codes, std::vector<int32_t>{kCouldNotCreateFile});
    EXPECT_NE(zip.LastError, 0u);
    EXPECT_EQ(messages.files, std::vector<std::wstring>{folder + L"\\old.7z"});
    EXPECT_EQ(Names(folder), (std::vector<std::wstring>{L"a.txt", L"old.7z", L"old.7z\\inside.txt"}));

    // In volumes, none is put in place when one cannot be.
    MakeDirectories(folder + L"\\set.7z.002");
    zip.SZFileName = folder + L"\\set.7z";
    zip.SetVolumeSize(2000);
    EXPECT_EQ(zip.Add(), -1);
    EXPECT_EQ(messages.files.back(), folder + L"\\set.7z.002");
    EXPECT_EQ(Names(folder), (std::vector<std::wstring>{L"a.txt", L"old.7z", L"old.7z\\inside.txt", L"set.7z.002"}));
}

TEST(AddFailure, AVolumeSetIsReplacedWholeOrNotAtAll) {
    // Sets of 3000-byte volumes, each holding one stored file, content.bin; `held`
    // is the old volume (by number) that another program, a viewer say, holds open
    // without leave to delete it (in this process: the platform's sharing rules go
    // by the open, not the program).
    struct Case {
        size_t oldContent, newContent;
        size_t held;  // 0: none
    };
    for (const Case& c : {Case{14000, 20000, 3}, Case{14000, 5000, 5}, Case{17000, 5000, 0}}) {
        SCOPED_TRACE(c.held);
        const std::wstring folder = FreshFolder(L"set-replaced");
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
        zip.SetVolumeSize(3000);
        zip.SZFileName = folder + L"\\set.7z";
        zip.AddRootDir = folder;
        zip.Files.Add(folder + L"\\content.bin");
        const int32_t result = zip.Add();
        holder.Reset();
        EXPECT_TRUE(TemporaryFiles(folder).empty());
        if (c.held > 0) {
            EXPECT_EQ(result, -1);
            EXPECT_EQ(messages.codes, std::vector<int32_t>{kCouldNotCreateFile});
            EXPECT_EQ(messages.files, std::vector<std::wstring>{old[c.held - 1]});
            EXPECT_EQ(zip.LastError, static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
            EXPECT_EQ(Names(folder).size(), before.size());
            for (const std::wstring& volume : old)
                EXPECT_TRUE(ReadFile(volume) == before.at(FileNamePart(volume)).content) << Narrow(volume);
        } else {
            EXPECT_EQ(result, 0);
            std::vector<std::wstring> names{L"content.bin"};
            for (const std::wstring& volume : zip.VolumeNames) names.push_back(FileNamePart(volume));
            EXPECT_EQ(Names(folder), names);  // the old set's further volumes are gone
            EXPECT_EQ(Run7z(L"t set.7z.001", folder), 0);
        }
    }
}
