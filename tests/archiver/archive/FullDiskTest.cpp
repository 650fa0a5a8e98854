// A disk that fills up while the archive is written: Add fails with -1, names the
// file and says why (a full disk), and the archive that was there stays readable.
// The disk is a file system of 1 MiB that the launcher mounts, or where nothing
// can be mounted, one injected at the writer's seam (SmallDisk says which).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <iostream>

#include "archive/StreamWriter.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

TEST(FullDisk, AFullDiskFailsTheAddByNameAndKeepsTheOldArchive) {
    const SmallDisk disk;
    const std::wstring input = FreshFolder(L"full-disk-input");
    WriteFile(input + L"\\noise.bin", NoiseBytes(1200000, 17));
    WriteFile(input + L"\\small.txt", "a small file");
    struct Case {
        const wchar_t* name;
        int32_t volumeSize;
        bool selfExtracting;
        const wchar_t* archive;  // the name Add ends with
        const wchar_t* old;      // packed of small.txt before; empty: nothing there
    };
    for (const Case& c : {Case{L"single", 0, false, L"old.7z", L"old.7z"},
                          Case{L"volumes", 300000, false, L"old.7z", L"old.7z.001"},
                          Case{L"self-extracting", 300000, true, L"setup.exe", L""}}) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring folder = disk.Folder() + L"\\" + c.name;
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
        {
            const SmallDisk::Filling filling(disk);
            result = zip.Add();
        }
        EXPECT_EQ(result, -1);
        EXPECT_EQ(messages.codes, std::vector<int32_t>{kCouldNotWriteFile});
        ASSERT_EQ(messages.files.size(), 1u);
        EXPECT_EQ(messages.files[0].rfind(folder + L"\\" + c.archive, 0), 0u) << Narrow(messages.files[0]);
        EXPECT_EQ(zip.LastError, static_cast<uint32_t>(ERROR_DISK_FULL));
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
