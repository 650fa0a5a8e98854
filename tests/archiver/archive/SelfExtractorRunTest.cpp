// Self-extracting programs as their users meet them: packed with the shipped
// module by the component the window owns and by archivecli, started with the
// module's own switches for a folder and no questions (-o, -y, and -p for a
// password), their trees compared with what was packed; loaded and restored by
// the archiver's window; and damaged, when they must end with an error and keep
// every file that a broken item would replace.
#include <gtest/gtest.h>

#include <functional>

#include "TestPaths.h"
#include "WindowTestSupport.h"
#include "support/ArchiveTestSupport.h"
#include "support/DialogWindow.h"

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

// archivecli packing the tree behind the shipped module; its exit code.
int PackSelfExtractor(const std::wstring& program, const std::wstring& src, const std::wstring& options) {
    return RunProgram(Widen(NORVANE_BIN_DIR) + L"\\archivecli.exe",
                      L"add \"" + program + L"\" --root \"" + src + L"\" --sfx \"" + SfxModulePath() + L"\" " +
                          options + L" --quiet \"" + src + L"\\*.*\"",
                      src);
}

// The component packing the tree as the window has it pack, its self-extractor
// switch on; Add's result.
int PackWithComponent(const std::wstring& program, const std::wstring& src, const std::wstring& password) {
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

// The program started as a script would start it; its exit code. It must end by
// itself: a box or dialog still waiting after a minute fails the test, named, and
// the program is ended.
int RunSelfExtractor(const std::wstring& program, const std::wstring& arguments) {
    ChildProcess process(program, arguments, L"");
    if (const std::optional<DWORD> code = process.Wait(60000)) return static_cast<int>(*code);
    DialogWindow box(FindProcessWindow(process.Id(), "#32770"));
    ADD_FAILURE() << "still running after a minute, showing "
                  << (box ? "\"" + box.Caption() + "\": " + box.Text() : std::string("no dialog"));
    return -1;
}
}  // namespace

TEST(SelfExtractorRun, WhatTheComponentAndArchivecliPackTheModuleRestoresAndTheWindowReads) {
    const std::wstring folder = FreshFolder(L"sfx-run");
    const std::wstring src = MakeTree(folder);
    const Tree packed = ReadTree(src);
    struct Case {
        const wchar_t* name;
        std::function<int(const std::wstring&)> pack;
        const wchar_t* runOptions;
    };
    const Case cases[] = {
        {L"plain", [&](const std::wstring& p) { return PackSelfExtractor(p, src, L"--level 2"); }, L""},
        {L"password",
         [&](const std::wstring& p) {
             return PackSelfExtractor(p, src, L"--level 1 --password tajne --encrypt-names");
         },
         L" -ptajne"},
        {L"component", [&](const std::wstring& p) { return PackWithComponent(p, src, L""); }, L""},
        {L"component password", [&](const std::wstring& p) { return PackWithComponent(p, src, L"tajne"); },
         L" -ptajne"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring program = folder + L"\\" + c.name + L".exe";
        ASSERT_EQ(c.pack(program), 0);
        const std::wstring out = folder + L"\\" + c.name + L" rozpakowane";
        EXPECT_EQ(RunSelfExtractor(program, L"-y \"-o" + out + L"\"" + c.runOptions), 0);
        ExpectSameTree(packed, ReadTree(out), 20000000, false);
    }

    // The window's way: "Wczytaj archiwum" of the program, then "Odtwórz archiwum".
    WindowTest::WriteSettings(folder, src + L"\\", {src + L"\\*.*"}, folder + L"\\okno");
    WindowTest::ArchiverWindow window(folder);
    ASSERT_TRUE(window.WaitShown());
    ASSERT_TRUE(window.Load(folder + L"\\plain.exe"));
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
    ASSERT_EQ(PackSelfExtractor(program, src, L"--level 0"), 0);  // stored: the noise lies as packed
    const std::string sound = ReadFile(program);
    const std::string noise = ReadFile(src + L"\\dokumenty\\szum.bin");
    const size_t at = sound.find(noise.substr(0, 64), static_cast<size_t>(FileSize(SfxModulePath())));
    ASSERT_NE(at, std::string::npos);

    struct Case {
        const wchar_t* name;
        std::function<std::string(std::string)> damage;
        bool soundItemsRestored;  // those the library can still read
    };
    const Case cases[] = {
        {L"a byte of the noise altered", [&](std::string bytes) { bytes[at + 100000] ^= 0x20; return bytes; }, true},
        {L"cut short before its headers", [](std::string bytes) { bytes.resize(bytes.size() - 200); return bytes; },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring damaged = folder + L"\\damaged.exe";
        WriteFile(damaged, c.damage(sound));
        const std::wstring out = folder + L"\\out";
        RemoveTree(out);
        MakeDirectories(out + L"\\dokumenty");
        WriteFile(out + L"\\dokumenty\\szum.bin", "the file of before");
        WriteFile(out + L"\\zażółć.txt", "the text of before");
        const Tree before = ReadTree(out);

        EXPECT_NE(RunSelfExtractor(damaged, L"-y \"-o" + out + L"\""), 0);
        Tree after = ReadTree(out);
        EXPECT_EQ(after.at(L"dokumenty\\szum.bin").content, "the file of before");
        if (c.soundItemsRestored) {
            EXPECT_EQ(after.at(L"zażółć.txt").content, "zażółć gęślą jaźń");
            EXPECT_EQ(after.size(), ReadTree(src).size());  // no staged file left beside them
        } else {
            ExpectSameTree(before, after);
        }
    }
}
