// What a restore makes of each item: an item that cannot be written fails alone,
// and the items after it in its solid block are restored; no file is written twice
// and none of the archive's is written at all; and archivecli, run by a script,
// never waits for a dialog and prints no name that hides what it is.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestPaths.h"
#include "archive/ArchiveSignature.h"
#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"
#include "support/ChildProcess.h"
#include "support/ProcessStart.h"

using namespace ArchiveTest;

namespace {
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

// The short 8.3 name the file system gives a file of that name (Wine's is a hash
// of the long name, whatever the folder).
std::wstring ShortNameOf(const std::wstring& folder, const std::wstring& name) {
    MakeDirectories(folder + L"\\probe");
    WriteFile(folder + L"\\probe\\" + name, "");
    wchar_t shortPath[MAX_PATH] = {};
    ::GetShortPathNameW((folder + L"\\probe\\" + name).c_str(), shortPath, MAX_PATH);
    RemoveTree(folder + L"\\probe");
    return FileNamePart(shortPath);
}

// A 7z start header, its check right, in front of a header block.
std::string WithStartHeader(const std::string& block) {
    std::string bytes = std::string("7z\xBC\xAF\x27\x1C\x00\x04", 8) + std::string(24, '\0');
    auto put = [&](size_t at, uint64_t value, size_t count) {
        for (size_t i = 0; i < count; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    put(20, block.size(), 8);
    put(28, Crc32(reinterpret_cast<const uint8_t*>(block.data()), block.size()), 4);
    put(8, Crc32(reinterpret_cast<const uint8_t*>(bytes.data()) + 12, 20), 4);
    return bytes + block;
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

// The same name again, one that differs in case, the short name of an earlier
// file: each is that file once more, which the later item would replace.
TEST(ItemOutcome, AFileIsWrittenOnceARunAndTheFirstItemKeepsIt) {
    const std::wstring folder = FreshFolder(L"outcome-case"), out = folder + L"\\out";
    const std::wstring longName = L"longfilename_document.txt", shortName = ShortNameOf(folder, longName);
    ASSERT_NE(shortName, longName);
    ASSERT_TRUE(WriteNamedItemsArchive(folder + L"\\case.7z",
                                       {L"Readme.txt=first", L"README.txt=second", L"dir\\Note.txt=n1",
                                        L"DIR\\Note.txt=n2", L"same.txt=old", L"same.txt=new", longName + L"=long",
                                        shortName + L"=short"}));
    Restore restore = RestoreAll(folder + L"\\case.7z", out);
    EXPECT_EQ(restore.result, 1);
    EXPECT_EQ(restore.codes, std::vector<int32_t>(4, kSameFileAsEarlier));
    // In the order the library keeps the items: each the later item, then the earlier.
    std::vector<std::wstring> pairs = {out + L"\\DIR\\Note.txt | " + out + L"\\dir\\Note.txt",
                                       out + L"\\README.txt | " + out + L"\\Readme.txt",
                                       out + L"\\" + shortName + L" | " + out + L"\\" + longName,
                                       out + L"\\same.txt | " + out + L"\\same.txt"};
    std::sort(pairs.begin(), pairs.end());
    std::sort(restore.files.begin(), restore.files.end());
    EXPECT_EQ(restore.files, pairs);
    EXPECT_EQ(Files(out), (std::map<std::wstring, std::string>{{L"Readme.txt", "first"},
                                                               {L"dir\\Note.txt", "n1"},
                                                               {longName, "long"},
                                                               {L"same.txt", "old"}}));
    EXPECT_TRUE(TemporaryFiles(out).empty());
}

// Also where the archive is restored into its own folder: no item replaces a
// volume, whichever name leads to it (its own, in another case, its short name,
// a hard link to it; the folder by its short name).
TEST(ItemOutcome, ArchivecliFailsWithAMessageWhereAWindowWouldAskAndShowsNamesAsWritten) {
    const std::wstring folder = FreshFolder(L"outcome-cli");
    const std::vector<std::wstring> volumes = PackVolumes(folder, L"set.7z", 2000, 5000);
    ASSERT_TRUE(volumes.size() == 3 && ::DeleteFileW(volumes[2].c_str()));
    const std::vector<std::wstring> cut = PackVolumes(folder, L"cut.7z", 2000, 5000);
    WriteFile(cut[1], "a volume cut short");
    WriteFile(folder + L"\\a.txt", "secret text");
    ASSERT_EQ(Run7z(L"a -t7z -mhe=on -psekret names.7z a.txt", folder), 0);
    ASSERT_EQ(Run7z(L"a -t7z -psekret data.7z a.txt", folder), 0);
    ASSERT_EQ(Run7z(L"a -t7z -mx0 -psekret stored.7z a.txt", folder), 0);  // a wrong key: a CRC error
    MakeDirectories(folder + L"\\own");
    const std::wstring thirdShort = ShortNameOf(folder, L"own.7z.003");
    for (const std::wstring& name : {std::wstring(L"own.7z.001"), std::wstring(L"OWN.7Z.002"), thirdShort,
                                     std::wstring(L"linked.bin"), std::wstring(L"ok.txt")})
        WriteFile(folder + L"\\own\\" + name, NoiseBytes(3000, 5));
    TSevenZip own(nullptr);
    own.SZFileName = folder + L"\\own.7z";
    own.AddRootDir = folder + L"\\own";
    own.SetVolumeSize(2500);
    own.Files.Add(folder + L"\\own\\*.*");
    ASSERT_EQ(own.Add(), 0);
    ASSERT_GE(own.VolumeNames.size(), 4u);
    std::vector<std::string> ownBytes;
    for (const std::wstring& volume : own.VolumeNames) ownBytes.push_back(ReadFile(volume));
    ASSERT_TRUE(::CreateHardLinkW((folder + L"\\linked.bin").c_str(), own.VolumeNames[3].c_str(), nullptr));
    wchar_t shortFolder[MAX_PATH] = {};
    ASSERT_GT(::GetShortPathNameW(folder.c_str(), shortFolder, MAX_PATH), 0u);
    ASSERT_NE(shortFolder, folder);
    // A self-extractor holding an item of its own name.
    MakeDirectories(folder + L"\\self");
    WriteFile(folder + L"\\self\\self.exe", "not the program");
    TSevenZip self(nullptr);
    self.SFXModule = SfxModulePath();
    self.SetSFXCreate(true);
    self.SZFileName = folder + L"\\self.7z";
    self.AddRootDir = folder + L"\\self";
    self.Files.Add(folder + L"\\self\\self.exe");
    ASSERT_EQ(self.Add(), 0);
    const std::string selfBytes = ReadFile(folder + L"\\self.exe");
    WriteFile(folder + L"\\evil\u202Etxt.exe", "bad");
    ASSERT_TRUE(WriteNamedItemsArchive(folder + L"\\plain", {L"=bez nazwy"}));
    ASSERT_TRUE(WriteNamedItemsArchive(folder + L"\\binvoice\u202Etxt.exe.7z", {L"=faktura"}));
    WriteFile(folder + L"\\random.7z", NoiseBytes(5000, 3));
    // A header block whose one file's name table claims 8 GiB.
    WriteFile(folder + L"\\names.bomb.7z", WithStartHeader(std::string("\x01\x05\x01\x11\xFF\x00\x00\x00\x00\x02\x00\x00\x00\x00\x00", 15)));
    const std::vector<std::string> ownRefused = {"error 11: Could not create file: own.7z.001 (",
                                                 "error 11: Could not create file: own.7z.002 (",
                                                 "error 11: Could not create file: own.7z.003 (",
                                                 "error 11: Could not create file: own.7z.004 ("};
    const struct {
        std::wstring arguments;
        DWORD exitCode;
        std::vector<std::string> said;
    } cases[] = {
        {L"list set.7z.001", 1, {"missing volume: set.7z.003", "error 1: File not found: set.7z.003\n"}},
        {L"list cut.7z.001", 1, {"error 19: Volume is shorter than the set needs: cut.7z.002"}},
        {L"list names.7z --password zle", 1, {"error 17: Wrong or missing password: "}},
        {L"extract names.7z out", 1, {"error 17: Wrong or missing password: "}},
        {L"extract data.7z out", 1, {"error 17: Wrong or missing password: out\\a.txt"}},
        {L"extract stored.7z out --password zle", 1, {"error 17: Wrong or missing password: out\\a.txt"}},
        {L"list random.7z", 1, {"error 21: Cannot open the file as archive: random.7z\n"}},
        {L"list names.bomb.7z", 1, {"error 22: Archive header is damaged or too large: names.bomb.7z\n"}},
        {L"list absent.7z", 1, {"error 1: File not found: absent.7z\n"}},
        {L"list plain", 0, {"\tplain~\n"}},
        {L"extract binvoice\u202Etxt.exe.7z out", 0, {"writing out\\binvoice<U+202E>txt.exe (7 bytes)\n"}},
        {L"extract own.7z.001 . --overwrite", 1, ownRefused},
        {L"extract self.exe . --overwrite", 1, {"error 11: Could not create file: self.exe ("}},
        {L"add evil.7z evil\u202Etxt.exe", 0, {"adding ", "\\evil<U+202E>txt.exe (3 bytes)\nwrote evil.7z\n"}},
        {L"extract own.7z.001 " + std::wstring(shortFolder) + L" --overwrite", 1, ownRefused},
    };
    for (const auto& test : cases) {
        ChildProcess cli(Widen(NORVANE_BIN_DIR) + L"\\archivecli.exe", test.arguments, folder, folder + L"\\cli.txt");
        EXPECT_EQ(cli.Wait(30000), std::optional<DWORD>(test.exitCode)) << Narrow(test.arguments);
        const std::string said = ReadFile(folder + L"\\cli.txt");
        for (const std::string& line : test.said) EXPECT_NE(said.find(line), std::string::npos) << said;
        // Nothing of a name is printed raw that would hide or reorder what it is.
        EXPECT_EQ(std::count_if(said.begin(), said.end(), [](char c) { return c >= 0 && c < ' ' && c != '\t' && c != '\n'; }), 0);
        EXPECT_EQ(said.find("\xE2\x80\xAE"), std::string::npos) << said;
    }
    for (size_t i = 0; i < ownBytes.size(); ++i) EXPECT_TRUE(ReadFile(own.VolumeNames[i]) == ownBytes[i]) << i;
    EXPECT_TRUE(ReadFile(folder + L"\\ok.txt") == NoiseBytes(3000, 5));
    EXPECT_TRUE(ReadFile(folder + L"\\self.exe") == selfBytes);
    EXPECT_TRUE(TemporaryFiles(folder).empty());
}
