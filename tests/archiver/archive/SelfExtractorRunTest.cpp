// Self-extracting programs as their users meet them: packed with the shipped
// module by the component the window owns and by archivecli, started with the
// module's own switches for a folder and no questions (-o, -y, and -p for a
// password), their trees compared with what was packed; loaded and restored by
// the archiver's window; and damaged, when they must end with an error and keep
// every file that a broken item would replace.
#include <gtest/gtest.h>

#include "TestPaths.h"
#include "WindowTestSupport.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
std::wstring MakeTree(const std::wstring& folder) {
    const std::wstring src = folder + L"\\źródło";
    MakeDirectories(src + L"\\dokumenty\\głęboko");
    MakeDirectories(src + L"\\pusty");
    WriteFile(src + L"\\zażółć.txt", "zażółć gęślą jaźń");
    WriteFile(src + L"\\dokumenty\\szum.bin", NoiseBytes(200000, 31));
    WriteFile(src + L"\\dokumenty\\głęboko\\pusty.txt", "");
    SetLastWriteTime(src + L"\\zażółć.txt", MakeFileTime(2019, 4, 5, 6, 7, 8));
    return src;
}

// The tree packed behind the shipped module by archivecli or by the component as
// the window drives it, its self-extractor switch on; 0 when written.
int Pack(bool archivecli, const std::wstring& program, const std::wstring& src, const std::wstring& password,
         const wchar_t* level = L"2") {
    if (archivecli)
        return RunProgram(Widen(NORVANE_BIN_DIR) + L"\\archivecli.exe",
                          L"add \"" + program + L"\" --root \"" + src + L"\" --sfx \"" + SfxModulePath() +
                              L"\" --level " + level +
                              (password.empty() ? L"" : L" --encrypt-names --password " + password) + L" --quiet \"" +
                              src + L"\\*.*\"",
                          src);
    TSevenZip zip(nullptr);
    zip.SFXModule = SfxModulePath();
    zip.SetSFXCreate(true);
    zip.SZFileName = program;
    zip.AddOptions = {AddOptsEnum::AddRecurseDirs};
    zip.AddRootDir = src + L"\\";
    zip.Password = password;
    zip.Files.Add(src + L"\\*.*");
    return zip.Add();
}

}  // namespace

TEST(SelfExtractorRun, WhatTheComponentAndArchivecliPackTheModuleRestoresAndTheWindowReads) {
    const std::wstring folder = FreshFolder(L"sfx-run");
    const std::wstring src = MakeTree(folder);
    const Tree packed = ReadTree(src);
    for (const bool archivecli : {true, false}) {
        for (const std::wstring password : {L"", L"tajne"}) {
            const std::wstring name = (archivecli ? L"archivecli" : L"component") + password;
            SCOPED_TRACE(Narrow(name));
            const std::wstring program = folder + L"\\" + name + L".exe";
            ASSERT_EQ(Pack(archivecli, program, src, password), 0);
            const std::wstring out = folder + L"\\" + name + L" rozpakowane";
            const std::wstring switches = L"-y \"-o" + out + L"\"" + (password.empty() ? L"" : L" -p" + password);
            EXPECT_EQ(RunProgram(program, switches, L"", 60000), 0);
            ExpectSameTree(packed, ReadTree(out), 20000000, false);
        }
    }

    // The window's way: "Wczytaj archiwum" of the program, then "Odtwórz archiwum".
    WindowTest::WriteSettings(folder, src + L"\\", {src + L"\\*.*"}, folder + L"\\okno");
    WindowTest::ArchiverWindow window(folder);
    ASSERT_TRUE(window.WaitShown());
    ASSERT_TRUE(window.Load(folder + L"\\archivecli.exe"));
    EXPECT_EQ(window.Status(), std::to_wstring(packed.size()));
    ASSERT_TRUE(window.Restore());
    EXPECT_EQ(window.Status(), L"0");
    ExpectSameTree(packed, ReadTree(folder + L"\\okno"), 20000000);
    EXPECT_EQ(window.End(), 0u);
}

TEST(SelfExtractorRun, ADamagedOneEndsWithAnErrorAndKeepsEveryFileItWouldReplace) {
    const std::wstring folder = FreshFolder(L"sfx-damaged");
    const std::wstring src = MakeTree(folder);
    const std::wstring program = folder + L"\\setup.exe";
    ASSERT_EQ(Pack(true, program, src, L"", L"0"), 0);  // stored: the noise lies as packed
    const std::string sound = ReadFile(program);
    const std::string noise = ReadFile(src + L"\\dokumenty\\szum.bin");
    const size_t at = sound.find(noise.substr(0, 64), static_cast<size_t>(FileSize(SfxModulePath())));
    ASSERT_NE(at, std::string::npos);

    // A byte of the noise altered (the library still reads the other items), or
    // the program cut short before the archive's headers.
    for (const bool cutShort : {false, true}) {
        SCOPED_TRACE(cutShort ? "cut short" : "a byte altered");
        std::string bytes = sound;
        if (cutShort)
            bytes.resize(bytes.size() - 200);
        else
            bytes[at + 100000] ^= 0x20;
        const std::wstring damaged = folder + L"\\damaged.exe";
        WriteFile(damaged, bytes);
        const std::wstring out = folder + L"\\out";
        RemoveTree(out);
        MakeDirectories(out + L"\\dokumenty");
        WriteFile(out + L"\\dokumenty\\szum.bin", "the file of before");
        WriteFile(out + L"\\zażółć.txt", "the text of before");
        const Tree before = ReadTree(out);

        // 7-Zip's "fatal error", with no box left waiting (-1 after a minute).
        EXPECT_EQ(RunProgram(damaged, L"-y \"-o" + out + L"\"", L"", 60000), 2);
        Tree after = ReadTree(out);
        EXPECT_EQ(after.at(L"dokumenty\\szum.bin").content, "the file of before");
        if (cutShort) {
            ExpectSameTree(before, after);
        } else {
            EXPECT_EQ(after.at(L"zażółć.txt").content, "zażółć gęślą jaźń");
            EXPECT_EQ(after.size(), ReadTree(src).size());  // no staged file left beside them
        }
    }
}
