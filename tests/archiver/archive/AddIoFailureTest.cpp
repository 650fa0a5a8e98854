// A disk that fills up while the archive is written, or an input whose read fails
// part way as a bad sector fails it: Add fails with -1, names the file and says
// why, and the archive that was there stays readable, with nothing beside it.
// The disk is a file system of 1 MiB that the launcher mounts, or where nothing
// can be mounted, one injected at the writer's seam (SmallDisk says which); the
// read fails at the reader's seam, as the platform's byte-range locks do not hold
// reads back under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include "archive/StreamReader.h"
#include "archive/WideFiles.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
// Reads past the first mebibyte of a file larger than one fail.
bool ReadFailingPastAMebibyte(HANDLE file, uint64_t offset, void* data, DWORD count, DWORD& done) {
    uint64_t length = 0;
    if (FileLength(file, length) && length > (1 << 20) && offset + count > (1 << 20)) {
        done = 0;
        ::SetLastError(ERROR_CRC);
        return false;
    }
    return ReadAt(file, offset, data, count, done);
}
}  // namespace

TEST(AddIoFailure, AFullDiskOrAFailedReadFailsTheAddByNameAndKeepsTheOldArchive) {
    const SmallDisk disk;
    const std::wstring input = FreshFolder(L"io-failure-input"), elsewhere = FreshFolder(L"io-failure-reads");
    WriteFile(input + L"\\noise.bin", NoiseBytes(1200000, 17));
    WriteFile(input + L"\\small.txt", "a small file");
    struct Case {
        const wchar_t* name;
        bool readFails;  // else the disk fills up
        int32_t volumeSize;
        bool selfExtracting;
        const wchar_t* archive;  // the name Add ends with
        const wchar_t* old;      // packed of small.txt before; empty: nothing there
    };
    for (const Case& c : {Case{L"single", false, 0, false, L"old.7z", L"old.7z"},
                          Case{L"volumes", false, 300000, false, L"old.7z", L"old.7z.001"},
                          Case{L"self-extracting", false, 300000, true, L"setup.exe", L""},
                          Case{L"read-single", true, 0, false, L"old.7z", L"old.7z"},
                          Case{L"read-volumes", true, 100000, false, L"old.7z", L"old.7z.001"}}) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring folder = (c.readFails ? elsewhere : disk.Folder()) + L"\\" + c.name;
        MakeDirectories(folder);
        TSevenZip zip(nullptr);
        zip.AddRootDir = input;
        zip.SetVolumeSize(c.volumeSize);
        zip.SZFileName = folder + L"\\" + c.archive;
        zip.Files.Add(input + L"\\small.txt");
        if (*c.old != L'\0') {
            ASSERT_EQ(zip.Add(), 0) << "the old archive";
        }
        const Tree before = ReadTree(folder);
        if (c.selfExtracting) {
            zip.SFXModule = SfxModulePath();
            zip.SetSFXCreate(true);
        }
        zip.Files.Add(input + L"\\noise.bin");
        Messages messages(zip);
        int32_t result = 0;
        if (c.readFails) {
            TMyStreamReader::ReadFromFile = ReadFailingPastAMebibyte;
            result = zip.Add();
            TMyStreamReader::ReadFromFile = ReadAt;
        } else {
            const SmallDisk::Filling filling(disk);
            result = zip.Add();
        }
        EXPECT_EQ(result, -1);
        EXPECT_EQ(messages.codes, std::vector<int32_t>{c.readFails ? kCouldNotReadFile : kCouldNotWriteFile});
        ASSERT_EQ(messages.files.size(), 1u);
        if (c.readFails) {
            EXPECT_EQ(messages.files[0], input + L"\\noise.bin");
        } else {
            EXPECT_EQ(messages.files[0].rfind(folder + L"\\" + c.archive, 0), 0u) << Narrow(messages.files[0]);
        }
        EXPECT_EQ(zip.LastError, static_cast<uint32_t>(c.readFails ? ERROR_CRC : ERROR_DISK_FULL));
        const Tree after = ReadTree(folder);
        EXPECT_EQ(after.size(), before.size());  // no temporary file left
        for (const auto& [name, entry] : before)
            EXPECT_TRUE(after.count(name) && after.at(name).content == entry.content) << Narrow(name);
        if (*c.old != L'\0') {
            TSevenZip reader(nullptr);
            reader.SZFileName = folder + L"\\" + c.old;
            EXPECT_EQ(reader.List(), 1);
        }
        RemoveTree(folder);  // its room for the next case
    }
}
