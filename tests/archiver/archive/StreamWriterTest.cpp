#include <gtest/gtest.h>

#include "archive/FileTimes.h"
#include "archive/StreamWriter.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
ComPtr<TMyStreamWriter> StartWriter(uint32_t* error, const std::wstring& name, TWriterOptions options,
                                    double date = NowAsLocalDate()) {
    ComPtr<TMyStreamWriter> writer(new TMyStreamWriter(error, name, date, FILE_ATTRIBUTE_ARCHIVE, options));
    EXPECT_TRUE(writer->Start());
    return writer;
}

HRESULT WriteText(IOutStream* writer, const std::string& text, UINT32* written = nullptr) {
    return writer->Write(text.data(), static_cast<UINT32>(text.size()), written);
}

double LocalDate(FILETIME utc) { return FileTimeToLocalDate(utc); }
}  // namespace

TEST(StreamWriter, WriteEndingOnABoundaryCreatesTheNextEmptyVolume) {
    std::wstring folder = FreshFolder(L"writer-boundary");
    uint32_t error = 0;
    auto writer = StartWriter(&error, folder + L"\\a.7z", {.VolumeSize = 100});
    UINT32 written = 0;
    EXPECT_EQ(WriteText(writer.Get(), std::string(100, 'x'), &written), S_OK);
    EXPECT_EQ(written, 100u);
    EXPECT_EQ(writer->VolumeNames(), (std::vector<std::wstring>{folder + L"\\a.7z.001", folder + L"\\a.7z.002"}));
    writer.Reset();
    EXPECT_EQ(FileSize(folder + L"\\a.7z.001"), 100u);
    EXPECT_TRUE(Exists(folder + L"\\a.7z.002"));
    EXPECT_EQ(FileSize(folder + L"\\a.7z.002"), 0u);
    EXPECT_FALSE(Exists(folder + L"\\a.7z"));
}

TEST(StreamWriter, CutsVolumesAtMultiplesOfTheVolumeSize) {
    std::wstring folder = FreshFolder(L"writer-cut");
    uint32_t error = 0;
    auto writer = StartWriter(&error, folder + L"\\a.7z", {.VolumeSize = 40});
    std::string data = NoiseBytes(100, 3);
    EXPECT_EQ(WriteText(writer.Get(), data.substr(0, 30)), S_OK);
    EXPECT_EQ(WriteText(writer.Get(), data.substr(30)), S_OK);
    // The library goes back to write its start header: the bytes land in volume 1.
    UINT64 position = 0;
    EXPECT_EQ(writer->Seek(2, STREAM_SEEK_SET, &position), S_OK);
    EXPECT_EQ(position, 2u);
    EXPECT_EQ(WriteText(writer.Get(), "ZZ"), S_OK);
    EXPECT_EQ(writer->Seek(-10, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position, 90u);
    writer.Reset();
    data.replace(2, 2, "ZZ");
    EXPECT_EQ(ReadFile(folder + L"\\a.7z.001"), data.substr(0, 40));
    EXPECT_EQ(ReadFile(folder + L"\\a.7z.002"), data.substr(40, 40));
    EXPECT_EQ(ReadFile(folder + L"\\a.7z.003"), data.substr(80));
    EXPECT_EQ(error, 0u);
}

TEST(StreamWriter, StampsFilesInTwoSecondSteps) {
    std::wstring folder = FreshFolder(L"writer-time");
    uint32_t error = 0;
    FILETIME odd = MakeFileTime(2021, 3, 4, 5, 6, 7, 900);
    auto writer = StartWriter(&error, folder + L"\\a.bin", {}, LocalDate(odd));
    EXPECT_EQ(WriteText(writer.Get(), "content written after the stamp"), S_OK);
    writer.Reset();
    FILETIME stamped = LastWriteTime(folder + L"\\a.bin");
    FILETIME even = MakeFileTime(2021, 3, 4, 5, 6, 6);
    EXPECT_EQ(CompareFileTime(&stamped, &even), 0);

    // A time exactly on a step stays on it.
    FILETIME exact = MakeFileTime(2021, 3, 4, 5, 6, 8);
    writer = StartWriter(&error, folder + L"\\b.bin", {}, LocalDate(exact));
    writer.Reset();
    stamped = LastWriteTime(folder + L"\\b.bin");
    EXPECT_EQ(CompareFileTime(&stamped, &exact), 0);
}

TEST(StreamWriter, StampsDatesOutsideTheDosRangeExactlyAndLeavesMissingTimesAlone) {
    std::wstring folder = FreshFolder(L"writer-olddate");
    uint32_t error = 0;
    FILETIME old = MakeFileTime(1975, 1, 2, 3, 4, 5);
    auto writer = StartWriter(&error, folder + L"\\old.bin", {}, LocalDate(old));
    writer.Reset();
    FILETIME stamped = LastWriteTime(folder + L"\\old.bin");
    EXPECT_EQ(CompareFileTime(&stamped, &old), 0);

    FILETIME before{};
    ::GetSystemTimeAsFileTime(&before);
    writer = StartWriter(&error, folder + L"\\none.bin", {}, kFileTimeEpochDate);
    writer.Reset();
    stamped = LastWriteTime(folder + L"\\none.bin");
    EXPECT_GE(CompareFileTime(&stamped, &before), 0);  // left as the file system set it
    EXPECT_EQ(error, 0u);
}
