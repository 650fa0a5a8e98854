// The package a Windows user downloads, as scripts/package.sh packed it from this
// build: unpacked by 7-Zip's own program into a folder whose name has spaces and
// Polish letters, its files, each program's version information and manifest,
// and each program's basic use from that folder.
#include <windows.h>
#include <psapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <sstream>

#include "PackagePaths.h"
#include "TestPaths.h"
#include "WindowTestSupport.h"
#include "support/ArchiveTestSupport.h"
#include "support/DialogWindow.h"

using namespace ArchiveTest;

namespace {
const std::wstring kFolder = L"C:\\Program Files\\Norvane Zażółć";

struct Program {
    const wchar_t* file;
    const wchar_t* product;
    const char* executionLevel;
};
const Program kPrograms[] = {
    {L"norvexec.exe", L"Norvane", "requireAdministrator"},
    {L"themeview.exe", L"Norvane", "asInvoker"},
    {L"doziruzidive.exe", L"Doziruzidive", "asInvoker"},
    {L"dozsettings.exe", L"Doziruzidive", "asInvoker"},
    {L"archivecli.exe", L"Doziruzidive", "asInvoker"},
};

std::wstring Path(const std::wstring& file) { return kFolder + L"\\" + file; }

using Rows = std::vector<std::pair<std::string, std::string>>;

// archivecli's help: "  NAME  MEANING", the name padded with blanks.
Rows HelpRows(const std::string& text) {
    Rows rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const size_t gap = line.find("  ", 2);
        if (!line.starts_with("  ") || gap == std::string::npos) continue;
        rows.emplace_back(line.substr(2, gap - 2), line.substr(line.find_first_not_of(' ', gap)));
    }
    return rows;
}

// The README's tables of archivecli: "| `NAME` | MEANING |".
Rows ReadmeRows(const std::string& text) {
    Rows rows;
    std::istringstream lines(text.substr(text.find("\n### archivecli") + 1));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line) && !line.starts_with("#")) {
        const size_t end = line.find("` | ");
        if (!line.starts_with("| `") || end == std::string::npos || !line.ends_with(" |")) continue;
        rows.emplace_back(line.substr(3, end - 3), line.substr(end + 4, line.size() - end - 6));
    }
    return rows;
}

std::wstring VersionText(const std::vector<BYTE>& info, const wchar_t* name) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!::VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&text), &length)) return {};
    return std::wstring(text, length > 0 ? length - 1 : 0);
}

std::string ManifestOf(const std::wstring& program) {
    HMODULE module = ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return {};
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(module, resource) : nullptr;
    std::string text;
    if (loaded != nullptr) text.assign(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(module, resource));
    ::FreeLibrary(module);
    return text;
}

// The loader acted on the program's manifest: the common controls it asks for come
// from the side-by-side store (version 6). (Its DPI awareness cannot tell here:
// Wine calls every process per-monitor aware.)
void ExpectManifestInEffect(HANDLE process) {
    HMODULE modules[1024] = {};
    DWORD size = 0;
    ASSERT_TRUE(::EnumProcessModules(process, modules, sizeof modules, &size));
    std::wstring commonControls;
    for (DWORD i = 0; i < std::min<DWORD>(size / sizeof(HMODULE), 1024); ++i) {
        wchar_t name[MAX_PATH] = {};
        ::GetModuleFileNameExW(process, modules[i], name, MAX_PATH);
        std::wstring lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::towlower);
        if (lower.ends_with(L"\\comctl32.dll")) commonControls = lower;
    }
    EXPECT_NE(commonControls.find(L"\\winsxs\\"), std::wstring::npos) << Narrow(commonControls);
}

class Package : public ::testing::Test {
protected:
    // Unpacked afresh by 7-Zip's own program, as a user's unzip tool would; the
    // tests only read it.
    static void SetUpTestSuite() {
        RemoveTree(kFolder);
        MakeDirectories(kFolder);
        ASSERT_EQ(Run7z(L"x -y \"-o" + kFolder + L"\" \"" + Widen(NORVANE_PACKAGE_ZIP) + L"\"", kFolder), 0);
    }
    static void TearDownTestSuite() { RemoveTree(kFolder); }
};
}  // namespace

TEST_F(Package, HoldsItsFilesAndTheirNotices) {
    std::vector<std::wstring> files;
    for (const auto& [path, entry] : ReadTree(kFolder)) files.push_back(path);
    EXPECT_EQ(files, (std::vector<std::wstring>{L"7z.sfx", L"7za.dll", L"README-windows.txt", L"SHA256SUMS",
                                                L"THIRD-PARTY-NOTICES.txt", L"archivecli.exe", L"doziruzidive.exe",
                                                L"dozsettings.exe", L"norvexec.exe", L"themeview.exe"}));
    // SHA256SUMS is checked against the files in the signed package (signing_check.sh), summed alike.

    const std::string readme = ReadFile(Path(L"README-windows.txt"));
    const std::string notices = ReadFile(Path(L"THIRD-PARTY-NOTICES.txt"));
    for (const char* text : {"Norvane " NORVANE_VERSION " for 64-bit Windows", "1639   the command line has no /R, /I or /S",
                             "Odtwórz archiwum", "dozsettings [--output FILE]"})
        EXPECT_NE(readme.find(text), std::string::npos) << text;
    EXPECT_EQ(readme.find('\n'), readme.find("\r\n") + 1);  // lines end as Windows' do
    for (const char* text : {"7-Zip Copyright (C) 1999-2026 Igor Pavlov", "unRAR license restriction",
                             "GNU LESSER GENERAL PUBLIC LICENSE", "Independent JPEG Group", "libjpeg-turbo",
                             "mingw-w64-libraries/winpthreads"})
        EXPECT_NE(notices.find(text), std::string::npos) << text;
}

TEST_F(Package, EveryProgramCarriesTheVersionAndItsManifest) {
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(Narrow(program.file));
        std::vector<BYTE> info(::GetFileVersionInfoSizeW(Path(program.file).c_str(), nullptr));
        ASSERT_FALSE(info.empty());
        ASSERT_TRUE(::GetFileVersionInfoW(Path(program.file).c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
        EXPECT_EQ(VersionText(info, L"ProductVersion"), Widen(NORVANE_VERSION));
        EXPECT_EQ(VersionText(info, L"FileVersion"), Widen(NORVANE_VERSION));
        EXPECT_EQ(VersionText(info, L"ProductName"), program.product);
        EXPECT_EQ(VersionText(info, L"CompanyName"), L"Brellix");
        EXPECT_EQ(VersionText(info, L"OriginalFilename"), program.file);
        EXPECT_FALSE(VersionText(info, L"FileDescription").empty());

        const std::string manifest = ManifestOf(Path(program.file));
        for (const std::string& text :
             {std::string("level=\"") + program.executionLevel + "\"", std::string(">PerMonitorV2, PerMonitor<"),
              std::string(">true/pm<"), std::string("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"), std::string("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")})
            EXPECT_NE(manifest.find(text), std::string::npos) << text;
    }
}

TEST_F(Package, NorvexecWithoutASwitchShowsItsUsage) {
    ChildProcess norvexec(Path(L"norvexec.exe"), L"", kFolder);
    const DialogWindow box = DialogWindow::WaitFor(norvexec, 20000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box.Text().rfind("Norvane Uninstaller", 0), 0u) << box.Text();
    ExpectManifestInEffect(norvexec.Handle());
    box.Press(IDOK);
    EXPECT_TRUE(norvexec.Wait(20000).has_value());
}

TEST_F(Package, ArchivecliHelpIsTheReadmesTable) {
    const Rows documented = ReadmeRows(ReadFile(Widen(NORVANE_SOURCE_DIR "\\README.md")));
    ASSERT_GT(documented.size(), 20u);
    const std::wstring work = FreshFolder(L"pakiet-pomoc");
    for (const auto& [arguments, code] : {std::pair{L"--help", 0u}, std::pair{L"", 2u}}) {
        ChildProcess cli(Path(L"archivecli.exe"), arguments, work, work + L"\\help.txt");
        EXPECT_EQ(cli.Wait(30000), std::optional<DWORD>(code));
        EXPECT_EQ(HelpRows(ReadFile(work + L"\\help.txt")), documented) << Narrow(arguments);
    }
}

TEST_F(Package, ThemeviewChecksAThemeAndDozsettingsAndDoziruzidivePackAndList) {
    // The user's own folder, with Polish letters too.
    const std::wstring work = FreshFolder(L"pakiet-zażółć");
    MakeDirectories(work + L"\\motyw");
    MakeDirectories(work + L"\\dane");
    ASSERT_TRUE(WriteFile(work + L"\\motyw\\strona.lcd",
                          "[MAINWINDOW]\r\ncaption=Proba\r\nwidth=300\r\nheight=200\r\n"
                          "[INFO]\r\nTOTAL=1\r\n0=Koniec,10,10,80,24,BUTTON,,,0\r\n[DADOS]\r\n"));
    EXPECT_EQ(RunProgram(Path(L"themeview.exe"), L"--check " + work + L"\\motyw\\ strona.lcd", work, 30000), 0);

    ASSERT_TRUE(WriteFile(work + L"\\dane\\raport zażółć.txt", "raport"));
    const std::wstring entry = work + L"\\dane\\raport zażółć.txt";
    ASSERT_EQ(RunProgram(Path(L"dozsettings.exe"), L"--root " + work + L"\\dane\\ \"" + entry + L"\"", work, 30000), 0);

    WindowTest::ArchiverWindow window(work, Path(L"doziruzidive.exe"));
    ASSERT_TRUE(window.WaitShown());
    EXPECT_EQ(window.ListBoxItems(), std::vector<std::wstring>{entry});
    ExpectManifestInEffect(window.Process().Handle());
    ASSERT_TRUE(window.Pack(work + L"\\kopia.7z"));
    ASSERT_TRUE(Exists(work + L"\\kopia.7z"));
    ASSERT_TRUE(window.Load(work + L"\\kopia.7z"));
    EXPECT_EQ(window.Status(), L"1");
    EXPECT_EQ(window.End(), 0u);
}
