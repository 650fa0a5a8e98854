// norvexec /S /LOG run on generated hostile uninstall logs and registrations
// against a canary tree: whatever the log and the registration name, and
// however they spell it, every canary stays, every "removed" line of the
// removal log names something the product installed, and the exit code is
// the one the log ends with. The seed is in every failure's message; the
// environment variable NORVANE_HOSTILE_SEED runs another one.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "properties/HostilePathProperties.h"
#include "support/CanaryTree.h"
#include "support/ChildProcess.h"
#include "support/GeneratedInput.h"
#include "support/RemovalLogText.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"

namespace {
const char* const kRemovingKinds[] = {"FILE ", "SHORTCUT ", "DIR ", "REMOVEALL ", "special product "};

// The product as installed for one run.
struct HostileProduct {
    explicit HostileProduct(const std::string& install)
        : folders{install + "\\data\\deep folder", install + "\\data", install + "\\docs", install} {
        TestFiles::MakeDirectories(folders[0]);
        TestFiles::MakeDirectories(folders[2]);
        for (const char* name : {"\\app.exe", "\\read me.txt", "\\data\\a.dat", "\\data\\deep folder\\b c.dat",
                                 "\\docs\\manual.txt"}) {
            files.push_back(install + name);
            TestFiles::Write(files.back(), "installed");
        }
        for (const std::vector<std::string>* paths : {&folders, &files})
            for (const std::string& path : *paths) names.insert({path, TestFiles::ShortPath(path)});
    }
    // By its long name or short one, in any case, as the removal log may name it.
    bool Installed(const std::string& path) const {
        return std::any_of(names.begin(), names.end(),
                           [&path](const std::string& name) { return ::lstrcmpiA(name.c_str(), path.c_str()) == 0; });
    }

    std::vector<std::string> folders;  // inner first, the install folder last
    std::vector<std::string> files;
    std::set<std::string> names;
};

uint64_t Seed() {
    const char* text = std::getenv("NORVANE_HOSTILE_SEED");
    return text != nullptr ? std::strtoull(text, nullptr, 10) : 2026;
}
}  // namespace

TEST(HostileLogs, NorvexecRemovesOnlyWhatTheProductInstalled) {
    TestProduct product("{NORVANE-HOSTILE-01}");
    const std::string install = "C:\\Program Files\\Norvane Hostile";
    CanaryTree canaries(product.Folder());
    const uint64_t seed = Seed();
    InputGenerator generator(seed);
    const std::string removalLog = TestFiles::FreshTempFolder("hostile-logs") + "\\removal.log";
    const std::string linked = install + "\\linked";

    for (int run = 0; run < 20; ++run) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", run " + std::to_string(run));
        TestFiles::RemoveTree(install);
        HostileProduct installed(install);
        // Now and then the install folder holds a link into a canary folder.
        const bool withLink = generator.OneIn(3) && TestFiles::MakeUnixLink(canaries.CurrentFolder(), linked);
        auto spelled = [&](const std::string& path) {
            return HostilePaths::Respell(generator.OneIn(4) ? TestFiles::ShortPath(path) : path, generator);
        };
        auto hostileLine = [&]() -> std::string {
            switch (generator.Below(6)) {
            case 0: return std::string("FILE=") + CanaryTree::kCanaryName;
            case 1: return "FILE=" + canaries.CurrentFolder() + "\\Why we dropped PelmoraHelper.exe.txt";
            case 2:
                return "RUN3RD=" + HostilePaths::Unrooted(canaries.OutsideProgram(), product.Folder(), generator) +
                       "\r\nRUN3RDCMD=/x";
            default: return canaries.HostileLine(generator);
            }
        };

        std::vector<std::string> lines = {"TOTALFILE=" + std::to_string(installed.files.size())};
        for (const std::string& file : installed.files) lines.push_back("FILE=" + spelled(file));
        for (const std::string& folder : installed.folders)
            if (folder != install || generator.OneIn(2)) lines.push_back("DIR=" + spelled(folder));
        if (withLink) lines.push_back("DIR=" + HostilePaths::Respell(linked, generator));
        for (int hostile = 3 + static_cast<int>(generator.Below(10)); hostile > 0; --hostile)
            lines.insert(lines.begin() + 1 + generator.Below(static_cast<uint32_t>(lines.size())), hostileLine());
        if (generator.OneIn(2)) lines.push_back("REMOVEALL=1");
        std::string log;
        for (const std::string& line : lines) log += line + "\r\n";
        product.WriteLog(log);
        const std::string& registered =
            generator.OneIn(3) ? (generator.OneIn(4) ? canaries.InOtherProduct() : generator.Pick(canaries.Folders()))
                               : install;
        product.Register("Norvane Hostile", spelled(registered));

        ChildProcess norvexec(NorvexecPath(), "/S " + product.Code() + " /LOG=\"" + removalLog + "\"",
                              canaries.CurrentFolder());
        const std::optional<DWORD> exitCode = norvexec.Wait(60000);
        ASSERT_TRUE(exitCode.has_value()) << log;
        const std::vector<std::string> written = RemovalLogLines(TestFiles::Read(removalLog));
        ASSERT_FALSE(written.empty());
        EXPECT_EQ(written.back(), "exit code " + std::to_string(*exitCode));
        EXPECT_EQ(canaries.Damaged(), std::vector<std::string>()) << log;
        for (const std::string& line : written)
            for (const char* kind : kRemovingKinds) {
                const size_t outcome = line.find(": ");
                if (line.rfind(kind, 0) != 0 || outcome == std::string::npos) continue;
                const std::string path = line.substr(std::string(kind).size(), outcome - std::string(kind).size());
                if (line.compare(outcome + 2, 7, "removed") == 0) {
                    EXPECT_TRUE(installed.Installed(path)) << line << "\n" << log;
                }
            }
        if (withLink) TestFiles::RemoveUnixLink(linked);
    }
    TestFiles::RemoveTree(install);
}
