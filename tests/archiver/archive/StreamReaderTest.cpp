#include <gtest/gtest.h>

#include "archive/ArchiveSignature.h"
#include "archive/StreamReader.h"
#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"
#include "support/OpenDialogAnswer.h"

using namespace ArchiveTest;

namespace {
std::string Concatenate(const std::vector<std::wstring>& names) {
    std::string all;
    for (const std::wstring& name : names) all += ReadFile(name);
    return all;
}

std::string ReadAll(IInStream* reader, uint64_t from, size_t count, HRESULT& result) {
    std::string bytes(count, '\0');
    UINT32 done = 0;
    reader->Seek(static_cast<INT64>(from), STREAM_SEEK_SET, nullptr);
    result = reader->Read(bytes.data(), static_cast<UINT32>(count), &done);
    bytes.resize(done);
    return bytes;
}

void MoveFile(const std::wstring& from, const std::wstring& to) { ASSERT_TRUE(::MoveFileW(from.c_str(), to.c_str())); }
}  // namespace

TEST(StreamReader, SingleFileKnowsItsSizeAndReadsShortAtTheEnd) {
    std::wstring folder = FreshFolder(L"reader-single");
    WriteFile(folder + L"\\a.bin", "0123456789");
    ComPtr<TMyStreamReader> reader(new TMyStreamReader(nullptr, TReaderVolumes::OneFile, folder + L"\\a.bin"));
    UINT64 size = 0;
    EXPECT_EQ(reader->GetSize(&size), S_OK);
    EXPECT_EQ(size, 10u);
    HRESULT result = E_FAIL;
    EXPECT_EQ(ReadAll(reader.Get(), 6, 100, result), "6789");
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(ReadAll(reader.Get(), 10, 100, result), "");
    EXPECT_EQ(result, S_OK);
    UINT64 position = 0;
    EXPECT_EQ(reader->Seek(-3, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position, 7u);
    EXPECT_EQ(reader->Seek(-20, STREAM_SEEK_CUR, &position), HRESULT_FROM_WIN32(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(position, 7u);
}

TEST(StreamReader, AnswersOnlyForTheInterfacesItOffers) {
    ComPtr<TMyStreamReader> reader(new TMyStreamReader(nullptr, TReaderVolumes::OneFile, L"missing.bin"));
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(reader->QueryInterface(sevenzip::InterfaceId(0x03, 0x08), &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(reader->QueryInterface(IOutStream::Iid, &out), E_NOINTERFACE);
    ComPtr<ISequentialInStream> sequential;
    ASSERT_EQ(reader->QueryInterface(ISequentialInStream::Iid, sequential.ReceiveVoid()), S_OK);
    ComPtr<IInStream> full;
    ASSERT_EQ(reader->QueryInterface(IInStream::Iid, full.ReceiveVoid()), S_OK);
    EXPECT_EQ(static_cast<void*>(sequential.Get()), static_cast<void*>(full.Get()));  // one table for both
}

TEST(StreamReader, VolumeSetLearnsItsSizeFromTheFirstVolumeAndReadsAcross) {
    std::wstring folder = FreshFolder(L"reader-span");
    std::vector<std::wstring> names = PackVolumes(folder, L"a.7z", 1000, 4500);
    ASSERT_EQ(names.size(), 5u);
    std::string all = Concatenate(names);
    ComPtr<TMyStreamReader> reader(new TMyStreamReader(nullptr, TReaderVolumes::MultiVolume, names[0]));
    UINT64 size = 0;
    EXPECT_EQ(reader->GetSize(&size), S_OK);
    EXPECT_EQ(size, all.size());
    EXPECT_TRUE(reader->Spanning());
    HRESULT result = E_FAIL;
    EXPECT_TRUE(ReadAll(reader.Get(), 900, 2300, result) == all.substr(900, 2300));
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(reader->OpenVolumeCount(), 1u);  // only the volume being read stays open
    EXPECT_TRUE(ReadAll(reader.Get(), size - 10, 100, result) == all.substr(all.size() - 10));
    // Past the archive's end nothing is read and no volume is looked for.
    EXPECT_EQ(ReadAll(reader.Get(), size, 100, result), "");
    EXPECT_EQ(result, S_FALSE);
}

TEST(StreamReader, EmptyVolumeLeftAtAnExactBoundaryEndsTheSet) {
    std::wstring folder = FreshFolder(L"reader-boundary");
    // Find a content size whose archive is an exact multiple of the volume size.
    std::vector<std::wstring> names;
    for (size_t content = 3000; content < 3100 && names.empty(); ++content) {
        std::vector<std::wstring> written = PackVolumes(folder, L"probe.7z", 0, content);
        uint64_t length = FileSize(written[0]);
        ::DeleteFileW(written[0].c_str());
        if (length % 4 == 0) names = PackVolumes(folder, L"a.7z", static_cast<int32_t>(length / 4), content);
    }
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(FileSize(names[4]), 0u);
    TSevenZip zip(nullptr);
    zip.SZFileName = names[0];
    EXPECT_EQ(zip.List(), 1);
    EXPECT_EQ(Run7z(L"t a.7z.001", folder), 0);
}

TEST(StreamReader, MissingMiddleVolumeIsAskedForThroughTheEvent) {
    std::wstring folder = FreshFolder(L"reader-event");
    std::vector<std::wstring> names = PackVolumes(folder, L"a.7z", 1000, 3500);
    ASSERT_EQ(names.size(), 4u);
    MakeDirectories(folder + L"\\disk2");
    std::wstring moved = folder + L"\\disk2\\a.7z.003";
    MoveFile(names[2], moved);

    TSevenZip zip(nullptr);
    std::vector<std::wstring> asked;
    zip.OnOpenVolume = [&](std::wstring& name, bool removable, bool& cancel) {
        asked.push_back(name);
        EXPECT_FALSE(removable);
        if (name == names[2]) name = moved;
        else cancel = true;
    };
    zip.SZFileName = names[0];
    zip.ExtrBaseDir = folder + L"\\out";
    EXPECT_EQ(zip.Extract(), 0);
    EXPECT_EQ(asked, std::vector<std::wstring>{names[2]});
    EXPECT_TRUE(ReadFile(folder + L"\\out\\content.bin") == NoiseBytes(3500, 7));

    // Declined: the archive cannot be opened, for the volume that is not there.
    zip.OnOpenVolume = [&](std::wstring&, bool, bool& cancel) { cancel = true; };
    Messages messages(zip);
    EXPECT_EQ(zip.List(), -1);
    EXPECT_EQ(messages.codes, std::vector<int32_t>{kFileNotFound});
    EXPECT_EQ(messages.files, std::vector<std::wstring>{names[2]});
}

TEST(StreamReader, SelfExtractorVolumesElsewhereAreFoundThroughTheDialogs) {
    std::wstring folder = FreshFolder(L"reader-sfx-dialog");
    // Volumes of the module and 100,000 bytes: the first holds the start header,
    // then two whole volumes and the rest.
    const uint64_t volume = FileSize(SfxModulePath()) + 100000;
    WriteFile(folder + L"\\content.bin", NoiseBytes(static_cast<size_t>(2 * volume + 150000), 9));
    TSevenZip zip(nullptr);
    zip.SFXModule = SfxModulePath();
    zip.SetSFXCreate(true);
    zip.SetVolumeSize(static_cast<int32_t>(volume));
    zip.SZFileName = folder + L"\\setup.7z";
    zip.Files.Add(folder + L"\\content.bin");
    ASSERT_EQ(zip.Add(), 0);
    ASSERT_EQ(zip.VolumeNames.size(), 4u);
    EXPECT_EQ(zip.VolumeNames[1], folder + L"\\setup.exe.002");
    MakeDirectories(folder + L"\\disks");
    for (size_t i = 1; i < 4; ++i) MoveFile(zip.VolumeNames[i], folder + L"\\disks\\" + FileNamePart(zip.VolumeNames[i]));

    OpenDialogAnswer answer({{L"Select last volume", folder + L"\\disks\\setup.exe.004"},
                             {L"Select volume", folder + L"\\disks\\setup.exe.002"},
                             {L"Select volume", folder + L"\\disks\\setup.exe.003"}});
    zip.SetSFXCreate(false);
    EXPECT_EQ(zip.List(), 1);
    EXPECT_EQ(answer.Titles(),
              (std::vector<std::wstring>{L"Select last volume", L"Select volume", L"Select volume"}));
    EXPECT_TRUE(zip.IsSFX);
}

TEST(StreamReader, VolumesSmallerThanTheStartHeaderAreReadBack) {
    // The smallest volumes Add writes: one byte, and for a self-extractor the module
    // and the archive's first seven bytes; the start header then lies across volumes.
    for (const bool selfExtracting : {false, true}) {
        const std::wstring folder = FreshFolder(selfExtracting ? L"reader-sfx-smallest" : L"reader-one-byte");
        MakeDirectories(folder + L"\\src\\sub");
        WriteFile(folder + L"\\src\\a.txt", "some text");
        WriteFile(folder + L"\\src\\sub\\b.bin", NoiseBytes(300, 4));
        TSevenZip zip(nullptr);
        if (selfExtracting) {
            zip.SFXModule = SfxModulePath();
            zip.SetSFXCreate(true);
        }
        zip.SetVolumeSize(1);
        const uint64_t smallest = selfExtracting ? FileSize(SfxModulePath()) + 7 : 1;
        zip.AddOptions = {AddOptsEnum::AddRecurseDirs};
        zip.AddRootDir = folder + L"\\src";
        zip.SZFileName = folder + L"\\set.7z";
        zip.Files.Add(folder + L"\\src\\*.*");
        ASSERT_EQ(zip.Add(), 0);
        ASSERT_GE(zip.VolumeNames.size(), 2u);
        EXPECT_EQ(FileSize(zip.VolumeNames[0]), smallest);
        // What the pack wrote as the start header is what a listing reads, across
        // the volumes and behind the module.
        const TStartHeader written = zip.ArchiveStartHeader;
        EXPECT_NE(ArchiveEndFromStartHeader(written, 0), 0u);
        zip.SetSFXCreate(false);
        zip.SZFileName = zip.VolumeNames[0];
        EXPECT_EQ(zip.List(), 3);
        EXPECT_EQ(zip.ArchiveStartHeader, written);
        zip.Files.Clear();
        zip.ExtrBaseDir = folder + L"\\out";
        EXPECT_EQ(zip.Extract(), 0);
        ExpectSameTree(ReadTree(folder + L"\\src"), ReadTree(folder + L"\\out"), 20000000);
        // 7-Zip reads no self-extractor in volumes of this naming.
        if (!selfExtracting) {
            EXPECT_EQ(Run7z(L"t " + FileNamePart(zip.VolumeNames[0]), folder), 0);
        }
    }
}
