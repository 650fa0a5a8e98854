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

// A write across a volume's end and one ending on it (which opens the next,
// empty); the library's seek back to the start header lands in volume 1.
TEST(StreamWriter, CutsVolumesAtMultiplesOfTheVolumeSize) {
    std::wstring folder = FreshFolder(L"writer-cut");
    uint32_t error = 0;
    auto writer = StartWriter(&error, folder + L"\\a.7z", {.VolumeSize = 40});
    std::string data = NoiseBytes(80, 3);
    UINT32 written = 0;
    EXPECT_EQ(WriteText(writer.Get(), data.substr(0, 30)), S_OK);
    EXPECT_EQ(WriteText(writer.Get(), data.substr(30), &written), S_OK);
    EXPECT_EQ(written, 50u);
    EXPECT_EQ(writer->VolumeNames(),
              (std::vector<std::wstring>{folder + L"\\a.7z.001", folder + L"\\a.7z.002", folder + L"\\a.7z.003"}));
    UINT64 position = 0;
    EXPECT_EQ(writer->Seek(2, STREAM_SEEK_SET, &position), S_OK);
    EXPECT_EQ(position, 2u);
    EXPECT_EQ(WriteText(writer.Get(), "ZZ"), S_OK);
    EXPECT_EQ(writer->Seek(-10, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position, 70u);
    writer.Reset();
    data.replace(2, 2, "ZZ");
    EXPECT_EQ(ReadFile(folder + L"\\a.7z.001"), data.substr(0, 40));
    EXPECT_EQ(ReadFile(folder + L"\\a.7z.002"), data.substr(40, 40));
    EXPECT_TRUE(Exists(folder + L"\\a.7z.003"));
    EXPECT_EQ(FileSize(folder + L"\\a.7z.003"), 0u);
    EXPECT_FALSE(Exists(folder + L"\\a.7z"));
    EXPECT_EQ(error, 0u);
}

// In two-second steps down (a time on a step stays), dates outside the DOS range
// exactly, and a missing time not at all.
TEST(StreamWriter, StampsFilesAsTheDosTimeHoldsThem) {
    std::wstring folder = FreshFolder(L"writer-time");
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const struct {
        double date;
        FILETIME expected;
    } cases[] = {{LocalDate(MakeFileTime(2021, 3, 4, 5, 6, 7, 900)), MakeFileTime(2021, 3, 4, 5, 6, 6)},
                 {LocalDate(MakeFileTime(2021, 3, 4, 5, 6, 8)), MakeFileTime(2021, 3, 4, 5, 6, 8)},
                 {LocalDate(MakeFileTime(1975, 1, 2, 3, 4, 5)), MakeFileTime(1975, 1, 2, 3, 4, 5)},
                 {kFileTimeEpochDate, now}};
    for (const auto& test : cases) {
        uint32_t error = 0;
        const std::wstring name = folder + L"\\" + std::to_wstring(&test - cases) + L".bin";
        auto writer = StartWriter(&error, name, {}, test.date);
        EXPECT_EQ(WriteText(writer.Get(), "content written after the stamp"), S_OK);
        writer.Reset();
        const FILETIME stamped = LastWriteTime(name);
        const LONG order = CompareFileTime(&stamped, &test.expected);
        EXPECT_TRUE(test.date == kFileTimeEpochDate ? order >= 0 : order == 0) << &test - cases;  // left as the file system set it
        EXPECT_EQ(error, 0u);
    }
}
