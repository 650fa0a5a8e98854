// What a restore makes of each item: an item that cannot be written fails alone,
// and the items after it in its solid block are restored; and archivecli, run by
// a script, never waits for a dialog.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestPaths.h"
#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"
#include "support/ChildProcess.h"
#include "support/ProcessStart.h"

using namespace ArchiveTest;

namespace {
// An archive of files stored under exactly the names given ("NAME=TEXT"), in the
// order given, written through the library by itemsarchive.
bool WriteNamedItemsArchive(const std::wstring& archive, const std::vector<std::wstring>& items) {
    std::wstring arguments = L"\"" + archive + L"\" --named";
    for (const std::wstring& item : items) arguments += L" \"" + item + L"\"";
    return RunProgram(Widen(NORVANE_BIN_DIR) + L"\\itemsarchive.exe", arguments, L"") == 0;
}

// Names and contents of the files below a folder.
std::map<std::wstring, std::string> Files(const std::wstring& folder) {
    std::map<std::wstring, std::string> files;
    for (const auto& [path, entry] : ReadTree(folder))
        if (!entry.directory) files[path] = entry.content;
    return files;
}

struct Restore {
    int32_t result = 0;
    std::vector<int32_t> codes;
    std::vector<std::wstring> files;
    uint32_t lastError = 0;  // as the first error was reported
};

Restore RestoreAll(const std::wstring& archive, const std::wstring& out) {
    TSevenZip zip(nullptr);
    zip.SZFileName = archive;
    zip.ExtrBaseDir = out;
    zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
    Restore restore;
    zip.OnMessage = [&](TObject*, int32_t code, const std::string&, const std::wstring& file) {
        if (restore.codes.empty()) restore.lastError = zip.LastError;
        restore.codes.push_back(code);
        restore.files.push_back(file);
    };
    restore.result = zip.Extract();
    return restore;
}

}  // namespace

// A file where a folder must go, or a disk that fills up (SmallDisk; one that takes
// what fits of a write says why only at the next, also for a compressed item):
// those items fail with the file and the reason, the library decodes on, and the
// rest of the solid block is restored.
TEST(ItemOutcome, AnItemThatCannotBeWrittenFailsAloneAndItsBlockIsRestored) {
    const SmallDisk disk;
    const std::wstring fullDisk = disk.Folder(), blocked = FreshFolder(L"outcome-blocked");
    RemoveTree(fullDisk + L"\\out");
    WriteFile(blocked + L"\\docs", "a file where the folder must go");
    struct Case {
        std::wstring out;
        std::map<std::wstring, std::string> packed;  // by 7z.exe, one solid block, in name order
        std::vector<std::wstring> failing;
        int32_t code;
        DWORD reason;
    };
    const Case cases[] = {
        {blocked,
         {{L"docs\\a.txt", NoiseBytes(30000, 1)}, {L"docs\\b.txt", "b"}, {L"e.txt", NoiseBytes(30000, 2)}, {L"f.txt", "f"}},
         {L"docs", L"docs\\a.txt", L"docs\\b.txt"},
         kCouldNotCreateFile,
         ERROR_ALREADY_EXISTS},
        {fullDisk + L"\\out",
         {{L"a-big.bin", NoiseBytes(1500000, 3)}, {L"b.txt", NoiseBytes(200000, 4)}, {L"c.txt", "c"}},
         {L"a-big.bin"},
         kCouldNotWriteFile,
         ERROR_DISK_FULL},
        {fullDisk + L"\\packed",
         {{L"a-big.txt", std::string(3000000, 'x')}, {L"b.txt", "b"}},
         {L"a-big.txt"},
         kCouldNotWriteFile,
         ERROR_DISK_FULL},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(Narrow(test.out));
        const std::wstring folder = FreshFolder(L"outcome-solid");
        for (const auto& [path, content] : test.packed) {
            MakeDirectories(folder + L"\\src\\" + DirectoryPart(path));
            WriteFile(folder + L"\\src\\" + path, content);
        }
        ASSERT_EQ(Run7z(L"a -t7z -mx1 -ms=on ..\\arc.7z *", folder + L"\\src"), 0);
        Restore restore;
        {
            const SmallDisk::Filling filling(disk);
            restore = RestoreAll(folder + L"\\arc.7z", test.out);
        }
        EXPECT_EQ(restore.result, 1);
        EXPECT_EQ(restore.codes, std::vector<int32_t>(test.failing.size(), test.code));
        EXPECT_EQ(restore.lastError, test.reason);
        ASSERT_EQ(restore.files.size(), test.failing.size());
        std::map<std::wstring, std::string> restored = Files(test.out);
        for (size_t i = 0; i < test.failing.size(); ++i) EXPECT_EQ(restore.files[i], test.out + L"\\" + test.failing[i]);
        for (const auto& [path, content] : test.packed) {
            const bool failed = std::find(test.failing.begin(), test.failing.end(), path) != test.failing.end();
            EXPECT_TRUE(failed ? restored.count(path) == 0 : restored[path] == content) << Narrow(path);
        }
        EXPECT_TRUE(TemporaryFiles(test.out).empty());
    }
}

TEST(ItemOutcome, ANameThatDiffersOnlyInCaseFailsAndLeavesTheEarlierFile) {
    const std::wstring folder = FreshFolder(L"outcome-case"), out = folder + L"\\out";
    ASSERT_TRUE(WriteNamedItemsArchive(folder + L"\\case.7z", {L"Readme.txt=first", L"README.txt=second",
                                                               L"dir\\Note.txt=n1", L"DIR\\Note.txt=n2",
                                                               L"same.txt=old", L"same.txt=new"}));
    const Restore restore = RestoreAll(folder + L"\\case.7z", out);
    EXPECT_EQ(restore.result, 1);
    EXPECT_EQ(restore.codes, (std::vector<int32_t>{kCaseOnlyName, kCaseOnlyName}));
    // In the order the library keeps the items; in each, the later item first.
    EXPECT_EQ(restore.files, (std::vector<std::wstring>{out + L"\\DIR\\Note.txt | " + out + L"\\dir\\Note.txt",
                                                        out + L"\\README.txt | " + out + L"\\Readme.txt"}));
    // The same name again is that file once more.
    EXPECT_EQ(Files(out), (std::map<std::wstring, std::string>{
                              {L"Readme.txt", "first"}, {L"dir\\Note.txt", "n1"}, {L"same.txt", "new"}}));
}

TEST(ItemOutcome, ArchivecliFailsWithAMessageWhereAWindowWouldAsk) {
    const std::wstring folder = FreshFolder(L"outcome-cli");
    const std::vector<std::wstring> volumes = PackVolumes(folder, L"set.7z", 2000, 5000);
    ASSERT_TRUE(volumes.size() == 3 && ::DeleteFileW(volumes[2].c_str()));
    const std::vector<std::wstring> cut = PackVolumes(folder, L"cut.7z", 2000, 5000);
    WriteFile(cut[1], "a volume cut short");
    WriteFile(folder + L"\\a.txt", "secret text");
    ASSERT_EQ(Run7z(L"a -t7z -mhe=on -psekret names.7z a.txt", folder), 0);
    ASSERT_EQ(Run7z(L"a -t7z -psekret data.7z a.txt", folder), 0);
    const std::pair<std::wstring, std::string> cases[] = {
        {L"list set.7z.001", "missing volume: set.7z.003"},
        {L"list cut.7z.001", "error 19: Volume is shorter than the set needs: cut.7z.002"},
        {L"list names.7z --password zle", "error 17: Wrong or missing password: "},
        {L"extract names.7z out", "error 17: Wrong or missing password: "},
        {L"extract data.7z out", "error 17: Wrong or missing password: out\\a.txt"},
    };
    for (const auto& [arguments, said] : cases) {
        ChildProcess cli(Widen(NORVANE_BIN_DIR) + L"\\archivecli.exe", arguments, folder, folder + L"\\cli.txt");
        EXPECT_EQ(cli.Wait(30000), std::optional<DWORD>(1u)) << Narrow(arguments);
        EXPECT_NE(ReadFile(folder + L"\\cli.txt").find(said), std::string::npos) << ReadFile(folder + L"\\cli.txt");
    }
}
