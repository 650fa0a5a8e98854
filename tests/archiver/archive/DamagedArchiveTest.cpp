// Archives as they arrive after a bad copy or from a hostile sender: cut short,
// bytes flipped, volumes missing their ends. Listing and extracting end with an
// error code or the library's result, never with a crash or a hang, never with a
// file outside the base folder, and never with success over wrong content.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
// One list and one extraction of whatever lies under the archive's name, into
// sandbox\base, with a prompt for a missing volume declined.
class Attempt {
public:
    explicit Attempt(const std::wstring& sandbox) : m_sandbox(sandbox) {
        m_zip.OnOpenVolume = [](std::wstring&, bool, bool& cancel) { cancel = true; };
        m_zip.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
        m_zip.OnMessage = [this](TObject*, int32_t, const std::string&, const std::wstring& file) {
            if (m_firstNamed.empty()) m_firstNamed = file + L"|";
        };
    }

    // What went wrong, or nothing. `expected` holds the contents by stored name.
    std::string Run(const std::wstring& archive, const std::map<std::wstring, std::string>& expected) {
        RemoveTree(m_sandbox);
        MakeDirectories(m_sandbox + L"\\base");
        m_zip.SZFileName = archive;
        m_zip.Files.Clear();
        m_firstNamed.clear();
        const int32_t listed = m_zip.List();
        if (listed < -1) return "List returned " + std::to_string(listed);
        // The archive is there: its open says what is wrong with it, or names the
        // volume that is not there.
        const int32_t code = m_zip.ErrCode;
        if (listed == -1 && code != kShortVolume && code != kNotAnArchive && code != kDamagedHeader &&
            code != kWrongPassword && !(code == kFileNotFound && m_firstNamed != archive + L"|"))
            return "List reported " + std::to_string(code) + " for " + Narrow(m_firstNamed);
        m_zip.Files.Clear();
        m_zip.ExtrBaseDir = m_sandbox + L"\\base";
        const int32_t result = m_zip.Extract();
        const Tree written = ReadTree(m_sandbox);
        for (const auto& [name, entry] : written)
            if (name != L"base" && name.rfind(L"base\\", 0) != 0) return "wrote outside the base: " + Narrow(name);
        if (result != 0 || m_zip.ErrCode != kSuccess) return {};
        // Success is only claimed for the archive's true content.
        for (const auto& [name, content] : expected) {
            auto found = written.find(L"base\\" + name);
            if (found == written.end() || found->second.content != content)
                return "extraction succeeded without the right " + Narrow(name);
        }
        return {};
    }

private:
    std::wstring m_sandbox;
    TSevenZip m_zip{nullptr};
    std::wstring m_firstNamed;  // the file the first message names
};

// Two stored files, so that their bytes lie in the archive as they are.
std::map<std::wstring, std::string> PackTwoFiles(const std::wstring& folder, const std::wstring& name) {
    std::map<std::wstring, std::string> contents = {{L"first.txt", NoiseBytes(300, 3)},
                                                    {L"second.txt", NoiseBytes(200, 4)}};
    MakeDirectories(folder + L"\\src");
    TSevenZip zip(nullptr);
    zip.AddRootDir = folder + L"\\src";
    zip.SZFileName = folder + L"\\" + name;
    for (const auto& [file, content] : contents) {
        WriteFile(folder + L"\\src\\" + file, content);
        zip.Files.Add(folder + L"\\src\\" + file);
    }
    EXPECT_EQ(zip.Add(), 0);
    return contents;
}

// content.bin in three volumes, and a sandbox to extract them into.
struct VolumeSet {
    VolumeSet(const std::wstring& name, int32_t volumeSize, size_t contentSize)
        : folder(FreshFolder(name)),
          volumes(PackVolumes(folder, L"set.7z", volumeSize, contentSize)),
          expected{{L"content.bin", NoiseBytes(contentSize, 7)}},
          attempt(folder + L"\\sandbox") {}
    std::wstring folder;
    std::vector<std::wstring> volumes;
    std::map<std::wstring, std::string> expected;
    Attempt attempt;
};
}  // namespace

TEST(DamagedArchive, AVolumeCutShortByOneToSixtyFourBytesIsAnErrorNotACrash) {
    VolumeSet set(L"damaged-volume-cut", 2000, 5000);
    ASSERT_EQ(set.volumes.size(), 3u);
    for (size_t which : {size_t{2}, size_t{1}}) {  // the last volume, then the middle one
        const std::string whole = ReadFile(set.volumes[which]);
        for (size_t cut = 1; cut <= 64; ++cut) {
            WriteFile(set.volumes[which], whole.substr(0, whole.size() - cut));
            EXPECT_EQ(set.attempt.Run(set.volumes[0], set.expected), "") << "volume " << which + 1 << " cut by " << cut;
        }
        WriteFile(set.volumes[which], whole);
    }
    EXPECT_EQ(set.attempt.Run(set.volumes[0], set.expected), "");
}

TEST(DamagedArchive, EveryCutOfASmallArchive) {
    std::wstring folder = FreshFolder(L"damaged-cut");
    const auto expected = PackTwoFiles(folder, L"arc.7z");
    const std::string whole = ReadFile(folder + L"\\arc.7z");
    Attempt attempt(folder + L"\\sandbox");
    for (size_t length = 0; length < whole.size(); ++length) {
        WriteFile(folder + L"\\cut.7z", whole.substr(0, length));
        EXPECT_EQ(attempt.Run(folder + L"\\cut.7z", expected), "") << "cut at " << length;
    }
}

TEST(DamagedArchive, EveryByteFlippedInTheHeaders) {
    std::wstring folder = FreshFolder(L"damaged-flip");
    const auto expected = PackTwoFiles(folder, L"arc.7z");
    const std::string whole = ReadFile(folder + L"\\arc.7z");
    ASSERT_GT(whole.size(), 500u + 32u);
    // The start header, and the end of the archive where the headers of the
    // items lie; each byte once with its lowest bit flipped, once inverted.
    std::vector<size_t> positions;
    for (size_t i = 0; i < 32; ++i) positions.push_back(i);
    for (size_t i = 532; i < whole.size(); ++i) positions.push_back(i);
    Attempt attempt(folder + L"\\sandbox");
    for (size_t position : positions)
        for (uint8_t mask : {uint8_t{0x01}, uint8_t{0xFF}}) {
            std::string damaged = whole;
            damaged[position] = static_cast<char>(damaged[position] ^ mask);
            WriteFile(folder + L"\\flipped.7z", damaged);
            EXPECT_EQ(attempt.Run(folder + L"\\flipped.7z", expected), "") << "byte " << position << " ^ " << int(mask);
        }
}

TEST(DamagedArchive, CutsOfEachVolumeOfASet) {
    VolumeSet set(L"damaged-set", 1500, 4000);
    ASSERT_EQ(set.volumes.size(), 3u);
    for (const std::wstring& volume : set.volumes) {
        const std::string whole = ReadFile(volume);
        for (size_t length = 0; length < whole.size(); length += 37) {
            WriteFile(volume, whole.substr(0, length));
            EXPECT_EQ(set.attempt.Run(set.volumes[0], set.expected), "") << Narrow(volume) << " cut at " << length;
        }
        WriteFile(volume, whole);
    }
}

TEST(DamagedArchive, ErrCodeKeepsTheFirstErrorOfAnExtraction) {
    std::wstring folder = FreshFolder(L"damaged-errcode");
    WriteFile(folder + L"\\payload.txt", "payload");
    // An item the component refuses as unsafe, then one it writes.
    const std::vector<std::wstring> names = {L"..\\escaped.txt", L"fine.txt"};
    TSevenZip zip(nullptr);
    size_t next = 0;
    zip.OnSetAddName = [&](TObject*, uint32_t, std::wstring& name) { name = names[next++ % names.size()]; };
    zip.SZFileName = folder + L"\\unsafe.7z";
    zip.Files.Add(folder + L"\\payload.txt");
    zip.Files.Add(folder + L"\\payload.txt");
    ASSERT_EQ(zip.Add(), 0);
    zip.OnSetAddName = nullptr;
    zip.Files.Clear();
    zip.ExtrBaseDir = folder + L"\\out";
    zip.Extract();
    EXPECT_EQ(zip.ErrCode, kUnsafePath);
    EXPECT_EQ(ReadFile(folder + L"\\out\\fine.txt"), "payload");

    // A CRC error in the first item, the second item sound.
    const auto expected = PackTwoFiles(folder, L"crc.7z");
    std::string bytes = ReadFile(folder + L"\\crc.7z");
    size_t first = bytes.find(expected.at(L"first.txt"));
    ASSERT_NE(first, std::string::npos);
    bytes[first + 10] = static_cast<char>(bytes[first + 10] ^ 0x40);
    WriteFile(folder + L"\\crc.7z", bytes);
    TSevenZip reader(nullptr);
    Messages messages(reader);
    reader.SZFileName = folder + L"\\crc.7z";
    reader.ExtrBaseDir = folder + L"\\crc";
    reader.Extract();
    EXPECT_EQ(messages.codes, std::vector<int32_t>{kCRCError});
    EXPECT_EQ(reader.ErrCode, kCRCError);
    EXPECT_EQ(ReadFile(folder + L"\\crc\\second.txt"), expected.at(L"second.txt"));
    // The next extraction starts afresh.
    PackTwoFiles(folder, L"crc.7z");
    reader.ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
    EXPECT_EQ(reader.Extract(), 0);
    EXPECT_EQ(reader.ErrCode, kSuccess);
}
