// norvexec /S /LOG run on generated hostile uninstall logs and registrations
// against a canary tree: whatever the log and the registration name, and
// however they spell it, every canary stays, every "removed" line of the
// removal log names something the product installed, and the exit code is
// the one the log ends with. The seed is in every failure's message; the
// environment variable NORVANE_HOSTILE_SEED runs another one.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <map>

#include "properties/HostilePathProperties.h"
#include "support/CanaryTree.h"
#include "support/ChildProcess.h"
#include "support/GeneratedInput.h"
#include "support/RemovalLogText.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"

namespace {
const char* const kRemovingKinds[] = {"FILE ", "SHORTCUT ", "DIR ", "REMOVEALL ", "special product "};

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The product as installed for one run: its folders and files by their long
// names and short ones, upper case, as the removal log may name them.
class HostileProduct {
public:
    explicit HostileProduct(const std::string& install) : m_install(install) {
        for (const std::string& folder : {install + "\\data\\deep folder", install + "\\docs"}) {
            TestFiles::MakeDirectories(folder);
        }
        for (const char* name : {"\\app.exe", "\\read me.txt", "\\data\\a.dat", "\\data\\deep folder\\b c.dat",
                                 "\\docs\\manual.txt"}) {
            m_files.push_back(install + name);
            TestFiles::Write(m_files.back(), "installed");
        }
        m_folders = {install + "\\data\\deep folder", install + "\\data", install + "\\docs", install};
        for (const std::vector<std::string>* paths : {&m_folders, &m_files})
            for (const std::string& path : *paths) {
                char shortName[MAX_PATH] = {};
                const DWORD length = ::GetShortPathNameA(path.c_str(), shortName, MAX_PATH);
                m_short[path] = length > 0 && length < MAX_PATH ? shortName : path;
                m_installed.emplace(Upper(path), Upper(m_short[path]));
            }
    }

    const std::vector<std::string>& Files() const { return m_files; }
    const std::vector<std::string>& Folders() const { return m_folders; }  // inner first, the install folder last
    const std::string& ShortName(const std::string& path) const { return m_short.at(path); }
    bool Installed(const std::string& path) const {
        const std::string key = Upper(path);
        for (const auto& [longName, shortName] : m_installed)
            if (key == longName || key == shortName) return true;
        return false;
    }

private:
    std::string m_install;
    std::vector<std::string> m_files, m_folders;
    std::map<std::string, std::string> m_short;
    std::multimap<std::string, std::string> m_installed;
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
        auto spelled = [&](const std::string& path, const std::string& shortName) {
            return HostilePaths::Respell(generator.OneIn(4) ? shortName : path, generator);
        };
        auto hostileLine = [&]() -> std::string {
            const std::string& folder = generator.Pick(canaries.Folders());
            switch (generator.Below(6)) {
            case 0: return "DIR=" + spelled(folder, canaries.ShortName(folder));
            case 1: return "DIR=" + HostilePaths::Unrooted(folder, canaries.CurrentFolder(), generator);
            case 2: {
                const std::string& file = generator.Pick(canaries.Files());
                const bool information = file.rfind(TestFiles::WindowsDirectory() + "\\Installer\\", 0) == 0;
                return (generator.OneIn(2) ? "FILE=" : "SHORTCUT=") +
                       (information ? HostilePaths::Respell(file, generator)
                                    : HostilePaths::Unrooted(file, canaries.CurrentFolder(), generator));
            }
            case 3: return std::string("FILE=") + CanaryTree::kCanaryName;
            case 4: return "FILE=" + canaries.CurrentFolder() + "\\Why we dropped PelmoraHelper.exe.txt";
            default:
                return "RUN3RD=" + HostilePaths::Unrooted(canaries.OutsideProgram(), product.Folder(), generator) +
                       "\r\nRUN3RDCMD=/x";
            }
        };

        std::vector<std::string> lines = {"TOTALFILE=" + std::to_string(installed.Files().size())};
        for (const std::string& file : installed.Files())
            lines.push_back("FILE=" + spelled(file, installed.ShortName(file)));
        for (const std::string& folder : installed.Folders())
            if (folder != install || generator.OneIn(2)) lines.push_back("DIR=" + spelled(folder, installed.ShortName(folder)));
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
        product.Register("Norvane Hostile", spelled(registered, canaries.ShortName(registered)));

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
