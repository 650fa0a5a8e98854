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

// Each volume of a set cut at every 37th byte, and the last two by one to 64 bytes.
TEST(DamagedArchive, CutsOfEachVolumeOfASet) {
    VolumeSet set(L"damaged-set", 2000, 5000);
    ASSERT_EQ(set.volumes.size(), 3u);
    for (size_t which = 0; which < 3; ++which) {
        const std::string whole = ReadFile(set.volumes[which]);
        std::vector<size_t> lengths;
        for (size_t length = 0; length < whole.size(); length += 37) lengths.push_back(length);
        for (size_t cut = 1; cut <= 64 && which > 0; ++cut) lengths.push_back(whole.size() - cut);
        for (size_t length : lengths) {
            WriteFile(set.volumes[which], whole.substr(0, length));
            EXPECT_EQ(set.attempt.Run(set.volumes[0], set.expected), "") << "volume " << which + 1 << " cut at " << length;
        }
        WriteFile(set.volumes[which], whole);
    }
    EXPECT_EQ(set.attempt.Run(set.volumes[0], set.expected), "");
}

// Every cut in the start header and the headers behind the data; in the stored
// data, where every cut is the same short file to the reader, every fifth.
TEST(DamagedArchive, EveryCutOfASmallArchive) {
    std::wstring folder = FreshFolder(L"damaged-cut");
    const auto expected = PackTwoFiles(folder, L"arc.7z");
    const std::string whole = ReadFile(folder + L"\\arc.7z");
    ASSERT_GT(whole.size(), 500u + 32u);
    Attempt attempt(folder + L"\\sandbox");
    for (size_t length = 0; length < whole.size(); length += length < 64 || length >= 532 ? 1 : 5) {
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
