#include <gtest/gtest.h>

#include "UnusedDrive.h"
#include "support/TestFiles.h"
#include "wizard/FolderChecks.h"

namespace {
struct PathCase {
    std::string path;
    int expected;
};
}  // namespace

TEST(FolderChecks, PathsCheckedWithoutCreating) {
    const PathCase cases[] = {
        {"C:\\", kFolderValid},
        {"z:\\", kFolderValid},
        {UnusedDriveRoot(), kFolderValid},  // a root is only looked at when creating
        {UnusedDriveRoot() + "a\\b", kFolderValid},
        {"C:\\a", kFolderValid},
        {"C:\\a\\b c\\d.e", kFolderValid},
        {"C:\\" + std::string(256, 'a'), kFolderValid},  // 259 characters: the buffer's limit
        {"", kFolderInvalid},
        {"C", kFolderInvalid},
        {"C:", kFolderInvalid},
        {"C:a", kFolderInvalid},
        {"C:/a", kFolderInvalid},
        {"1:\\a", kFolderInvalid},
        {"\\\\server\\share", kFolderInvalid},
        {"C:\\a\\", kFolderInvalid},
        {"C:\\a\\\\b", kFolderInvalid},
        {"C:\\\\a", kFolderInvalid},
        {"C:\\ a", kFolderInvalid},
        {"C:\\a.", kFolderInvalid},
        {"C:\\a\\b.\\c", kFolderInvalid},
        {"C:\\a\\b*", kFolderInvalid},
        {"C:\\" + std::string(257, 'a'), kFolderInvalid},  // would not fit: refused, not cut
        {"C:\\" + std::string(997, 'a'), kFolderInvalid},
    };
    std::vector<PathCase> names;  // each level's name: no blank or dot at its ends, none of \"*/:<>?|
    for (const char* name : {"Program Files", "v1.2", "a b", "\xE9t\xE9", "a\tb"}) names.push_back({name, kFolderValid});
    for (const char* name : {" a", "a ", "\ta", "a\t", ".a", "a.", ".", "..", "a\"b", "a*b", "a/b", "a<b", "a>b", "a?b",
                             "a|b", "a:b"})
        names.push_back({name, kFolderInvalid});
    for (const PathCase& c : names)
        EXPECT_EQ(MakeFolder(("C:\\x\\" + c.path + "\\y").c_str(), FolderMode::CheckOnly), c.expected) << c.path;
    for (const PathCase& c : cases)
        EXPECT_EQ(MakeFolder(c.path.c_str(), FolderMode::CheckOnly), c.expected) << c.path.substr(0, 40);
    EXPECT_EQ(MakeFolder(nullptr, FolderMode::CheckOnly), kFolderInvalid);
    EXPECT_EQ(MakeFolder(nullptr, FolderMode::Create), kFolderInvalid);
}

// The chooser's tests make folders through the dialog (levels made, a device
// name, a file in the way, a drive that is not there); these are the rest.
TEST(FolderChecks, CreatesLevelByLevelAndKeepsWhatWasMade) {
    std::string base = TestFiles::FreshTempFolder("folder-checks");
    TestFiles::Write(base + "\\file", "x");
    EXPECT_EQ(MakeFolder((base + "\\file\\below").c_str(), FolderMode::Create), kFolderNotCreated);
    // An invalid level stops the walk after the levels before it were made.
    EXPECT_EQ(MakeFolder((base + "\\six\\bad.\\seven").c_str(), FolderMode::Create), kFolderInvalid);
    EXPECT_TRUE(TestFiles::IsDirectory(base + "\\six"));
    EXPECT_FALSE(TestFiles::Exists(base + "\\six\\bad"));
    TestFiles::RemoveTree(base);
}
