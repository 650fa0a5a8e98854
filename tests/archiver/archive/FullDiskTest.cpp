// A disk that fills up while the archive is written: Add fails with -1, names the
// file and says why (a full disk), and the archive that was there stays, readable.
// The test's launcher mounts a file system of 1 MiB and names it in DZ_SMALL_DISK;
// where nothing can be mounted, a write failure at the writer's seam past the first
// mebibyte stands for the full disk. The test says which of the two ran.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <iostream>

#include "archive/StreamWriter.h"
#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
constexpr uint64_t kDiskSize = 1 << 20;

class SmallDisk {
public:
    SmallDisk() {
        const wchar_t* mounted = _wgetenv(L"DZ_SMALL_DISK");
        m_mounted = mounted != nullptr && *mounted != L'\0';
        m_root = m_mounted ? std::wstring(mounted) : FreshFolder(L"small-disk");
        std::cout << "full disk: " << (m_mounted ? "a file system of 1 MiB" : "an injected write failure") << "\n";
        ::testing::Test::RecordProperty("full_disk", m_mounted ? "mounted" : "injected");
    }
    ~SmallDisk() { TMyStreamWriter::WriteToFile = WriteAt; }

    // A new folder on the disk, the last one's room given back.
    std::wstring Folder(const std::wstring& name) {
        if (!m_last.empty()) RemoveTree(m_last);
        m_last = m_root + L"\\" + name;
        MakeDirectories(m_last);
        return m_last;
    }
    // From now on the disk takes a mebibyte more at most.
    void Fill() {
        if (m_mounted) return;
        s_written = 0;
        TMyStreamWriter::WriteToFile = [](HANDLE file, uint64_t offset, const void* data, DWORD count, DWORD& done) {
            done = 0;
            if (s_written + count > kDiskSize) {
                ::SetLastError(ERROR_DISK_FULL);
                return false;
            }
            s_written += count;
            return WriteAt(file, offset, data, count, done);
        };
    }
    void Free() { TMyStreamWriter::WriteToFile = WriteAt; }

private:
    static inline uint64_t s_written = 0;
    bool m_mounted = false;
    std::wstring m_root, m_last;
};
}  // namespace

TEST(FullDisk, AFullDiskFailsTheAddByNameAndKeepsTheOldArchive) {
    const std::wstring input = FreshFolder(L"full-disk-input");
    WriteFile(input + L"\\noise.bin", NoiseBytes(1200000, 17));
    WriteFile(input + L"\\small.txt", "a small file");
    struct Case {
        const wchar_t* name;
        int32_t volumeSize;
        bool selfExtracting;
        const wchar_t* archive;  // the name Add ends with
        const wchar_t* old;      // what stands there before, packed of small.txt; empty: nothing
    };
    const Case cases[] = {
        {L"single", 0, false, L"old.7z", L"old.7z"},
        {L"volumes", 300000, false, L"old.7z", L"old.7z.001"},
        {L"self-extracting", 300000, true, L"setup.exe", L""},
    };
    SmallDisk disk;
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring folder = disk.Folder(c.name);
        TSevenZip zip(nullptr);
        zip.AddRootDir = input;
        zip.SetVolumeSize(c.volumeSize);
        zip.SZFileName = folder + L"\\" + c.archive;
        zip.Files.Add(input + L"\\small.txt");
        if (*c.old != L'\0') {
            ASSERT_EQ(zip.Add(), 0);
        }
        const Tree before = ReadTree(folder);
        if (c.selfExtracting) {
            zip.SFXModule = SfxModulePath();
            zip.SetSFXCreate(true);
        }
        zip.Files.Add(input + L"\\noise.bin");
        Messages messages(zip);
        disk.Fill();
        const int32_t result = zip.Add();
        disk.Free();
        EXPECT_EQ(result, -1);
        EXPECT_EQ(messages.codes, std::vector<int32_t>{kCouldNotWriteFile});
        ASSERT_EQ(messages.files.size(), 1u);
        EXPECT_EQ(messages.files[0].rfind(folder + L"\\" + c.archive, 0), 0u) << Narrow(messages.files[0]);
        EXPECT_EQ(zip.LastError, static_cast<uint32_t>(ERROR_DISK_FULL));
        const Tree after = ReadTree(folder);
        EXPECT_EQ(after.size(), before.size());
        for (const auto& [name, entry] : before) EXPECT_TRUE(after.count(name) && after.at(name).content == entry.content);
        if (*c.old != L'\0') {
            TSevenZip reader(nullptr);
            reader.SZFileName = folder + L"\\" + c.old;
            EXPECT_EQ(reader.List(), 1);
        }
    }
}
