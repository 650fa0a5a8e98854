// What a restore makes of each item: stored paths as other tools write them land
// where 7-Zip lands them; an item that cannot be written fails alone, and the
// items after it in its solid block are restored; and archivecli, run by a
// script, never waits for a dialog.
#include <gtest/gtest.h>

#include <functional>

#include "TestPaths.h"
#include "support/ArchiveTestSupport.h"
#include "support/ChildProcess.h"

using namespace ArchiveTest;

namespace {
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

// archivecli with the arguments; its exit code (or nothing after 30 seconds:
// it waited for something) and what it printed.
std::optional<DWORD> RunCli(const std::wstring& arguments, const std::wstring& folder, std::string& output) {
    ChildProcess cli(Widen(NORVANE_BIN_DIR) + L"\\archivecli.exe", arguments, folder, folder + L"\\cli.txt");
    std::optional<DWORD> code = cli.Wait(30000);
    output = ReadFile(folder + L"\\cli.txt");
    return code;
}
}  // namespace

TEST(ItemOutcome, PathsAsOtherToolsStoreThemLandWhere7ZipLandsThem) {
    const std::wstring folder = FreshFolder(L"outcome-paths");
    // A root without its backslash, "/" with a doubled one, a file under the root,
    // a "." and a folder's trailing separator.
    ASSERT_TRUE(WriteNamedItemsArchive(folder + L"\\named.7z",
                                       {L"\\sub\\=", L"\\sub\\a.txt=a", L"tmp/x//file1.txt=x1", L"\\file1.txt=f1",
                                        L"d\\.\\e.txt=e", L"empty\\\\="}));
    const Restore restore = RestoreAll(folder + L"\\named.7z", folder + L"\\ours");
    EXPECT_EQ(restore.result, 0);
    EXPECT_TRUE(restore.codes.empty()) << (restore.codes.empty() ? "" : Narrow(restore.files[0]));
    ASSERT_EQ(Run7z(L"x -y -otheirs named.7z", folder), 0);
    const Tree ours = ReadTree(folder + L"\\ours"), theirs = ReadTree(folder + L"\\theirs");
    EXPECT_EQ(ours.size(), theirs.size());
    for (const auto& [path, entry] : theirs) {
        ASSERT_TRUE(ours.count(path)) << Narrow(path);
        EXPECT_EQ(ours.at(path).directory, entry.directory) << Narrow(path);
        EXPECT_EQ(ours.at(path).content, entry.content) << Narrow(path);
    }
    EXPECT_EQ(Files(folder + L"\\ours"), (std::map<std::wstring, std::string>{{L"d\\e.txt", "e"},
                                                                            {L"file1.txt", "f1"},
                                                                            {L"sub\\a.txt", "a"},
                                                                            {L"tmp\\x\\file1.txt", "x1"}}));
}

// A file where a folder must go, or a disk that fills up: those items fail with
// the file and the reason, the library decodes on, and the rest of the solid
// block is restored. The full disk is a file system of 1 MiB that the test's
// launcher mounts (tests/archiver/full_disk.sh).
TEST(ItemOutcome, AnItemThatCannotBeWrittenFailsAloneAndItsBlockIsRestored) {
    const std::wstring fullDisk = Widen(NORVANE_TEST_BIN_DIR) + L"\\full-disk";
    struct Case {
        const wchar_t* name;
        std::map<std::wstring, std::string> packed;  // by 7z.exe, solid, in name order
        std::wstring out;
        std::function<void(const std::wstring& out)> prepare;
        std::vector<std::wstring> failing;  // by path below out
        int32_t code;
        DWORD reason;
    };
    const Case cases[] = {
        {L"blocked",
         {{L"docs\\a.txt", NoiseBytes(30000, 1)}, {L"docs\\b.txt", "b"}, {L"e.txt", NoiseBytes(30000, 2)}, {L"f.txt", "f"}},
         FreshFolder(L"outcome-blocked-out"),
         [](const std::wstring& out) { WriteFile(out + L"\\docs", "a file where the folder must go"); },
         {L"docs", L"docs\\a.txt", L"docs\\b.txt"},
         kCouldNotCreateFile,
         ERROR_ALREADY_EXISTS},
        {L"full",
         {{L"a-big.bin", NoiseBytes(1500000, 3)}, {L"b.txt", NoiseBytes(200000, 4)}, {L"c.txt", "c"}},
         fullDisk + L"\\out",
         [](const std::wstring& out) { RemoveTree(out); },
         {L"a-big.bin"},
         kCouldNotWriteFile,
         ERROR_DISK_FULL},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(Narrow(test.name));
        if (test.out.rfind(fullDisk, 0) == 0 && !Exists(fullDisk + L"\\mounted")) {
            ADD_FAILURE() << "no file system of 1 MiB at " << Narrow(fullDisk) << " (run through CTest)";
            continue;
        }
        const std::wstring folder = FreshFolder(std::wstring(L"outcome-") + test.name);
        MakeDirectories(folder + L"\\src");
        for (const auto& [path, content] : test.packed) {
            MakeDirectories(folder + L"\\src\\" + path.substr(0, path.rfind(L'\\') + 1));
            WriteFile(folder + L"\\src\\" + path, content);
        }
        ASSERT_EQ(Run7z(L"a -t7z -mx1 -ms=on ..\\arc.7z *", folder + L"\\src"), 0);
        test.prepare(test.out);
        const Restore restore = RestoreAll(folder + L"\\arc.7z", test.out);
        EXPECT_EQ(restore.result, 1);
        std::vector<std::wstring> failing;
        for (size_t i = 0; i < restore.codes.size(); ++i) {
            EXPECT_EQ(restore.codes[i], test.code) << Narrow(restore.files[i]);
            failing.push_back(restore.files[i].substr(test.out.size() + 1));
        }
        EXPECT_EQ(failing, test.failing);
        EXPECT_EQ(restore.lastError, test.reason);
        const std::map<std::wstring, std::string> restored = Files(test.out);
        for (const auto& [path, content] : test.packed) {
            const bool failed = std::find(failing.begin(), failing.end(), path) != failing.end();
            EXPECT_EQ(restored.count(path) == 0, failed) << Narrow(path);
            if (!failed && restored.count(path)) {
                EXPECT_TRUE(restored.at(path) == content) << Narrow(path);
            }
        }
        EXPECT_TRUE(TemporaryFiles(test.out).empty());
    }
}

TEST(ItemOutcome, ANameThatDiffersOnlyInCaseFailsAndLeavesTheEarlierFile) {
    const std::wstring folder = FreshFolder(L"outcome-case");
    ASSERT_TRUE(WriteNamedItemsArchive(folder + L"\\case.7z", {L"Readme.txt=first", L"README.txt=second",
                                                               L"dir\\Note.txt=n1", L"DIR\\Note.txt=n2",
                                                               L"same.txt=old", L"same.txt=new"}));
    const std::wstring out = folder + L"\\out";
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
    MakeDirectories(folder + L"\\tomy");
    const std::vector<std::wstring> volumes = PackVolumes(folder + L"\\tomy", L"set.7z", 2000, 5000);
    ASSERT_EQ(volumes.size(), 3u);
    ::DeleteFileW(volumes[2].c_str());
    TSevenZip zip(nullptr);  // a self-extracting set without its volume 2
    zip.SZFileName = folder + L"\\setup.7z";
    zip.SFXModule = SfxModulePath();
    zip.SetSFXCreate(true);
    zip.SetVolumeSize(static_cast<int32_t>(FileSize(SfxModulePath()) + 3000));
    WriteFile(folder + L"\\noise.bin", NoiseBytes(9000, 5));
    zip.Files.Add(folder + L"\\noise.bin");
    ASSERT_EQ(zip.Add(), 0);
    ASSERT_TRUE(::DeleteFileW((folder + L"\\setup.exe.002").c_str()));
    WriteFile(folder + L"\\a.txt", "secret text");
    ASSERT_EQ(Run7z(L"a -t7z -mhe=on -psekret names.7z a.txt", folder), 0);

    struct Case {
        std::wstring arguments;
        std::string said;
    };
    const Case cases[] = {
        {L"list \"" + volumes[0] + L"\"", "missing volume: " + Narrow(volumes[2])},
        {L"extract \"" + folder + L"\\setup.exe\" out", "missing volume: " + Narrow(folder) + "\\setup.exe.002"},
        {L"list names.7z --password zle", "error 17: Wrong or missing password"},
        {L"extract names.7z out", "error 17: Wrong or missing password"},
    };
    for (const Case& test : cases) {
        std::string output;
        std::optional<DWORD> code = RunCli(test.arguments, folder, output);
        ASSERT_TRUE(code.has_value()) << Narrow(test.arguments);
        EXPECT_NE(*code, 0u) << Narrow(test.arguments);
        EXPECT_NE(output.find(test.said), std::string::npos) << Narrow(test.arguments) << "\n" << output;
        if (test.said.rfind("error 17", 0) == 0) {
            EXPECT_EQ(output.find("File not found"), std::string::npos) << output;
        }
    }
}
