// norvexec runs elevated: a library of a well-known name planted beside it or in
// the current folder is never loaded, neither one it loads by name nor one it
// imports (only libraries the system takes from its own folder).
#include <gtest/gtest.h>

#include <windows.h>

#include "TestPaths.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "support/TestRegistry.h"

namespace {
const char kPlanted[] = NORVANE_TEST_BIN_DIR "\\planted\\RICHED20.DLL";
const char* const kNames[] = {"RICHED20", "USERENV"};

// Wine, as Windows does, then takes these libraries from the search path before
// its own, in every program named norvexec.exe. (WINEDLLOVERRIDES would not reach
// the program: Wine starts it with the environment Wine itself was started with.)
class PlantedLibrariesFirst {
public:
    PlantedLibrariesFirst() {
        for (const char* name : kNames) TestRegistry::WriteString(HKEY_CURRENT_USER, kKey, name, "native,builtin");
    }
    ~PlantedLibrariesFirst() { TestRegistry::DeleteTree(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\norvexec.exe"); }

private:
    static constexpr char kKey[] = "Software\\Wine\\AppDefaults\\norvexec.exe\\DllOverrides";
};
}  // namespace

TEST(LibrarySearch, APlantedSystemLibraryIsNeverLoaded) {
    TestProduct product("{PLANTED-LIB-01}");
    product.Register("Planted", "");
    product.WriteLog("FILE=C:\\nothing-to-remove.txt\r\n");
    // A page with a rich-edit control: the rich-edit library is loaded for it.
    TestFiles::MakeDirectories(product.Folder() + "\\theme");
    TestFiles::Write(product.Folder() + "\\theme\\uninstall.lcd",
                     "[MAINWINDOW]\r\nwidth=300\r\nheight=200\r\n[INFO]\r\nTOTAL=1\r\n0=Notes,10,10,200,100,RICHTEXT,,,0\r\n");
    const std::string beside = TestFiles::FreshTempFolder("planted-beside");
    const std::string current = TestFiles::FreshTempFolder("planted-current");
    ASSERT_TRUE(::CopyFileA(NorvexecPath().c_str(), (beside + "\\norvexec.exe").c_str(), FALSE));
    for (const std::string& folder : {beside, current})
        for (const char* name : kNames) ASSERT_TRUE(::CopyFileA(kPlanted, (folder + "\\" + name + ".DLL").c_str(), FALSE));
    PlantedLibrariesFirst overrides;
    ChildProcess norvexec(beside + "\\norvexec.exe", "/S " + product.Code(), current);
    EXPECT_EQ(norvexec.Wait(30000), std::optional<DWORD>(0u));
    EXPECT_FALSE(TestFiles::Exists(beside + "\\planted-library-loaded"));
    EXPECT_FALSE(TestFiles::Exists(current + "\\planted-library-loaded"));
}
