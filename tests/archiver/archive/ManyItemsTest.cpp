// The component at tens of thousands of items: the entries chosen for Extract, as
// the window's restore of many selected rows hands them over, and a listing that
// a cancel request stops.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "archive/WidePath.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
constexpr int kFolders = 20, kFiles = 2500;
constexpr int kItems = kFolders * (kFiles + 1);

// What itemsarchive writes into "k0003\plik00042.txt".
std::string Content(const std::wstring& path) {
    unsigned folder = 0, file = 0;
    std::swscanf(path.c_str(), L"k%4u\\plik%5u.txt", &folder, &file);
    return "pozycja " + std::to_string(file) + " katalogu " + std::to_string(folder) + "\r\n";
}

// One archive for the tests of this program, with its files by index.
class ManyItems : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = FreshFolder(L"many-items");
        archive = folder + L"\\items.7z";
        ASSERT_TRUE(GenerateItemsArchive(archive, kFolders, kFiles));
        TSevenZip zip(nullptr);
        zip.SZFileName = archive;
        zip.OnListfile = [](TObject*, const std::wstring& name, uint64_t index, uint64_t, uint64_t, uint64_t attributes,
                            uint64_t, const std::wstring&, double) {
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) files[static_cast<uint32_t>(index)] = name;
        };
        ASSERT_EQ(zip.List(), kItems);
    }
    static void Prepare(TSevenZip& zip, const std::wstring& out) {
        zip.SZFileName = archive;
        zip.ExtrBaseDir = folder + L"\\" + out;
    }
    static inline std::wstring folder, archive;
    static inline std::map<uint32_t, std::wstring> files;
};
}  // namespace

TEST_F(ManyItems, TwentyThousandEntriesInAnyOrderRepeatedOrByPathRestoreEachChosenFileOnce) {
    // Every tenth file, the last first, four times each: by index twice, by its
    // stored path as listed and in upper case.
    TSevenZip zip(nullptr);
    Prepare(zip, L"chosen");
    std::set<std::wstring> chosen;
    uint64_t size = 0;
    int n = 0;
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        if (n++ % 10 != 0) continue;
        const std::wstring index = std::to_wstring(file->first);
        for (const std::wstring& entry : {index, UpperCase(file->second), index, file->second}) zip.Files.Add(entry);
        chosen.insert(file->second);
        size += Content(file->second).size();
    }
    ASSERT_EQ(zip.Files.Count(), 20000);
    uint64_t total = 0;
    zip.OnPreProgress = [&](TObject*, uint64_t max) { total = max; };
    Messages messages(zip);
    zip.Extract(false);
    EXPECT_EQ(messages.codes, std::vector<int32_t>{});
    EXPECT_EQ(total, size);  // an item chosen four times counts once
    std::set<std::wstring> written;
    for (const auto& [path, entry] : ReadTree(zip.ExtrBaseDir)) {
        if (entry.directory) continue;
        written.insert(path);
        EXPECT_EQ(entry.content, Content(path)) << Narrow(path);
    }
    EXPECT_EQ(written.size(), chosen.size());
    EXPECT_TRUE(written == chosen);
}

TEST_F(ManyItems, ACancelRequestStopsAListingAtTheNextItem) {
    // Nothing of the library reports progress while a listing reads its items:
    // "Koniec" during the load of a million rows relies on this.
    TSevenZip zip(nullptr);
    Prepare(zip, L"");
    int listed = 0;
    zip.OnListfile = [&](TObject*, const std::wstring&, uint64_t, uint64_t, uint64_t, uint64_t, uint64_t,
                         const std::wstring&, double) {
        if (++listed == 1000) zip.Cancel();
    };
    Messages messages(zip);
    EXPECT_EQ(zip.List(), -1);
    EXPECT_EQ(listed, 1000);
    EXPECT_EQ(messages.codes, std::vector<int32_t>{kUserCanceled});
    EXPECT_EQ(zip.NumberOfFiles, -1);
    EXPECT_EQ(zip.Files.Count(), 0);
    EXPECT_EQ(zip.List(), kItems);  // the request ended with the listing it stopped
}
