// norvexec runs elevated: a library of a well-known name planted beside it or in
// the current folder is never loaded, and the libraries it imports are all ones
// the system loads from its own folder whatever the search path.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "TestPaths.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "support/TestRegistry.h"

namespace {
// Wine, as Windows does, then takes a RICHED20.DLL found on the search path
// before its own, in every program named norvexec.exe. (WINEDLLOVERRIDES would
// not reach the program: Wine starts it with the environment it was started with.)
class NativeRichEditFirst {
public:
    NativeRichEditFirst() { TestRegistry::WriteString(HKEY_CURRENT_USER, kKey, "riched20", "native,builtin"); }
    ~NativeRichEditFirst() { TestRegistry::DeleteTree(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\norvexec.exe"); }

private:
    static constexpr char kKey[] = "Software\\Wine\\AppDefaults\\norvexec.exe\\DllOverrides";
};

std::vector<std::string> ImportedLibraries(const std::string& program) {
    std::vector<std::string> names;
    HMODULE image = ::LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (image == nullptr) return names;
    auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~ULONG_PTR{3});
    auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imports.VirtualAddress != 0 && entry->Name != 0; ++entry) {
        std::string name = reinterpret_cast<const char*>(base + entry->Name);
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        names.push_back(name);
    }
    ::FreeLibrary(image);
    return names;
}
}  // namespace

TEST(LibrarySearch, APlantedRichEditLibraryIsNeverLoaded) {
    TestProduct product("{PLANTED-LIB-01}");
    product.Register("Planted", "");
    product.WriteLog("FILE=C:\\nothing-to-remove.txt\r\n");
    TestFiles::MakeDirectories(product.Folder() + "\\theme");
    TestFiles::Write(product.Folder() + "\\theme\\uninstall.lcd",
                     "[MAINWINDOW]\r\nwidth=300\r\nheight=200\r\n[INFO]\r\nTOTAL=1\r\n0=Notes,10,10,200,100,RICHTEXT,,,0\r\n");
    const std::string beside = TestFiles::FreshTempFolder("planted-beside");
    const std::string current = TestFiles::FreshTempFolder("planted-current");
    ASSERT_TRUE(::CopyFileA(NorvexecPath().c_str(), (beside + "\\norvexec.exe").c_str(), FALSE));
    for (const std::string& folder : {beside, current})
        ASSERT_TRUE(::CopyFileA(NORVANE_TEST_BIN_DIR "\\planted\\RICHED20.DLL", (folder + "\\RICHED20.DLL").c_str(), FALSE));
    NativeRichEditFirst overrides;
    ChildProcess norvexec(beside + "\\norvexec.exe", "/S " + product.Code(), current);
    EXPECT_EQ(norvexec.Wait(30000), std::optional<DWORD>(0u));
    EXPECT_FALSE(TestFiles::Exists(beside + "\\planted-library-loaded"));
    EXPECT_FALSE(TestFiles::Exists(current + "\\planted-library-loaded"));
}

TEST(LibrarySearch, TheProgramImportsOnlyLibrariesTheSystemKnows) {
    // The system's known libraries, the same from Windows 7 to 11; the common
    // controls come from the side-by-side store the program's manifest names.
    const std::set<std::string> kKnown = {
        "ADVAPI32.DLL", "COMDLG32.DLL", "GDI32.DLL",   "IMAGEHLP.DLL", "KERNEL32.DLL", "MSVCRT.DLL",
        "NORMALIZ.DLL", "NSI.DLL",      "OLE32.DLL",   "OLEAUT32.DLL", "PSAPI.DLL",    "RPCRT4.DLL",
        "SECHOST.DLL",  "SETUPAPI.DLL", "SHELL32.DLL", "SHLWAPI.DLL",  "USER32.DLL",   "WLDAP32.DLL",
        "WS2_32.DLL",   "COMCTL32.DLL"};
    const std::vector<std::string> imported = ImportedLibraries(NorvexecPath());
    EXPECT_FALSE(imported.empty());
    for (const std::string& library : imported) EXPECT_EQ(kKnown.count(library), 1u) << library;
}
