// A disk that fills up while the archive is written (SmallDisk), or an input whose
// read fails part way as a bad sector fails it: Add fails with -1, names the file
// and says why, and the archive that was there stays as it was. The read fails at
// the reader's seam, as the platform's byte-range locks do not hold reads back
// under Wine.
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
    };
    for (const Case& c : {Case{L"single", false, 0}, Case{L"volumes", false, 300000}, Case{L"read", true, 0}}) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring folder = (c.readFails ? elsewhere : disk.Folder()) + L"\\" + c.name;
        MakeDirectories(folder);
        TSevenZip zip(nullptr);
        zip.AddRootDir = input;
        zip.SetVolumeSize(c.volumeSize);
        zip.SZFileName = folder + L"\\old.7z";
        zip.Files.Add(input + L"\\small.txt");
        ASSERT_EQ(zip.Add(), 0) << "the old archive";
        const Tree before = ReadTree(folder);
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
            EXPECT_EQ(messages.files[0].rfind(folder + L"\\old.7z", 0), 0u) << Narrow(messages.files[0]);
        }
        EXPECT_EQ(zip.LastError, static_cast<uint32_t>(c.readFails ? ERROR_CRC : ERROR_DISK_FULL));
        // The old archive byte for byte, and no temporary file beside it.
        ExpectSameTree(before, ReadTree(folder));
        RemoveTree(folder);  // its room for the next case
    }
}
