#include "HostileProduct.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "CanaryTree.h"
#include "TestProduct.h"
#include "TestServices.h"
#include "properties/HostilePathProperties.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

namespace {
const char kService[] = "NorvaneHostileOwn";
const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char* const kFiles[] = {"\\app.exe", "\\read me.txt", "\\data\\a.dat", "\\data\\deep folder\\b c.dat",
                              "\\docs\\manual.txt", "\\app.dll", "\\data\\common.dll"};
const char kOwnCount[] = "\\app.dll";        // SharedDLLs 1: the product's alone
const char kSharedCount[] = "\\data\\common.dll";  // SharedDLLs 3: others hold it too

struct OwnValue {
    HKEY root;
    const char* rootName;
    const char* key;
    const char* name;
    bool startsProgram;
};
const OwnValue kValues[] = {
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\Norvane Hostile", "WindowPos", false},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "SOFTWARE\\Norvane Hostile", "InstallDir", false},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "NorvaneHostile", true},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "NorvaneHostile",
     true},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\Classes\\NorvaneHostile.File\\shell\\open\\command", "", true},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Environment", "NORVANE_HOSTILE", true},
};

std::string ValueText(const OwnValue& value) { return std::string(value.rootName) + "\\" + value.key + "\\" + value.name; }

bool SameText(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string Desktop() {
    char desktop[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
    return desktop;
}

// An outcome that removes, or in a trial would.
bool Removes(const std::string& result) { return result.rfind("removed", 0) == 0 || result.rfind("would be removed", 0) == 0; }
}  // namespace

HostileProduct::HostileProduct(TestProduct& product, std::string install)
    : m_product(product), m_install(std::move(install)), m_shortcut(Desktop() + "\\Norvane Hostile.lnk") {
    m_folders = {m_install + "\\data\\deep folder", m_install + "\\data", m_install + "\\docs", m_install};
    for (const char* name : kFiles) m_files.push_back(m_install + name);
}

HostileProduct::~HostileProduct() { Clean(); }

void HostileProduct::Clean() const {
    if (m_linked) TestFiles::RemoveUnixLink(m_install + "\\linked");
    TestFiles::RemoveTree(m_install);
    for (const OwnValue& value : kValues) TestRegistry::DeleteValue(value.root, value.key, value.name);
    TestRegistry::DeleteTree(HKEY_CURRENT_USER, "Software\\Classes\\NorvaneHostile.File");
    ::DeleteFileA(m_shortcut.c_str());
    for (const char* file : {kOwnCount, kSharedCount}) TestRegistry::DeleteValue(HKEY_LOCAL_MACHINE, kSharedDlls, m_install + file);
    TestServices::Delete(kService);
}

std::string HostileProduct::Install(InputGenerator& generator, const CanaryTree& canaries) {
    Clean();
    TestFiles::MakeDirectories(m_folders[0]);
    TestFiles::MakeDirectories(m_folders[2]);
    for (const std::string& file : m_files) TestFiles::Write(file, "installed");
    TestFiles::Write(m_shortcut, "installed");
    m_names.clear();
    for (const std::vector<std::string>* paths : {&m_folders, &m_files})
        for (const std::string& path : *paths) m_names.insert({path, TestFiles::ShortPath(path)});
    m_names.insert({m_shortcut, TestFiles::ShortPath(m_shortcut)});
    TestRegistry::WriteDword(HKEY_LOCAL_MACHINE, kSharedDlls, m_install + kOwnCount, 1);
    TestRegistry::WriteDword(HKEY_LOCAL_MACHINE, kSharedDlls, m_install + kSharedCount, 3);
    // Quoted or not, with arguments: the program as the system would find it.
    const std::string program = generator.OneIn(2) ? "\"" + m_install + "\\app.exe\" /run" : m_install + "\\app.exe /run";
    for (const OwnValue& value : kValues)
        TestRegistry::WriteString(value.root, value.key, value.name, value.startsProgram ? program : "1,2,3,4");
    TestServices::Make(kService, program);
    // Now and then the install folder holds a link into a canary folder.
    const std::string linked = m_install + "\\linked";
    m_linked = generator.OneIn(3) && TestFiles::MakeUnixLink(canaries.CurrentFolder(), linked);

    auto spelled = [&](const std::string& path) {
        return HostilePaths::Respell(generator.OneIn(4) ? TestFiles::ShortPath(path) : path, generator);
    };
    auto hostileLine = [&]() -> std::string {
        switch (generator.Below(8)) {
        case 0: return std::string("FILE=") + CanaryTree::kCanaryName;
        case 1: return "FILE=" + canaries.CurrentFolder() + "\\Why we dropped PelmoraHelper.exe.txt";
        case 3: return "FILE=" + canaries.CurrentFolder() + "\\" + CanaryTree::kCanaryName + '\0' + ".tmp";
        case 2:
            return "RUN3RD=" + HostilePaths::Unrooted(canaries.OutsideProgram(), m_product.Folder(), generator) +
                   "\r\nRUN3RDCMD=/x";
        default: return canaries.HostileLine(generator);
        }
    };
    std::vector<std::string> lines = {"TOTALFILE=" + std::to_string(m_files.size())};
    for (const std::string& file : m_files) lines.push_back("FILE=" + spelled(file));
    lines.push_back("SHORTCUT=" + spelled(m_shortcut));
    for (const std::string& folder : m_folders)
        if (folder != m_install || generator.OneIn(2)) lines.push_back("DIR=" + spelled(folder));
    if (m_linked) lines.push_back("DIR=" + HostilePaths::Respell(linked, generator));
    lines.push_back(std::string("NTSERVICE=") + kService);
    for (const OwnValue& value : kValues) lines.push_back("REGVAL=" + ValueText(value));
    for (int hostile = 3 + static_cast<int>(generator.Below(10)); hostile > 0; --hostile)
        lines.insert(lines.begin() + 1 + generator.Below(static_cast<uint32_t>(lines.size())), hostileLine());
    if (generator.OneIn(2)) lines.push_back("REMOVEALL=1");
    std::string log;
    for (const std::string& line : lines) log += line + "\r\n";
    m_product.WriteLog(log);
    m_registered = generator.OneIn(3) ? (generator.OneIn(4) ? canaries.InOtherProduct() : generator.Pick(canaries.Folders()))
                                      : m_install;
    m_product.Register("Norvane Hostile", spelled(m_registered));
    return log;
}

bool HostileProduct::Installed(const std::string& path) const {
    return std::any_of(m_names.begin(), m_names.end(), [&path](const std::string& name) { return SameText(name, path); });
}

std::vector<std::string> HostileProduct::Strays(const std::vector<std::string>& removalLog) const {
    static const char* const kRemovingKinds[] = {"FILE ", "SHORTCUT ", "DIR ", "REMOVEALL ", "special product "};
    std::vector<std::string> strays;
    for (const std::string& line : removalLog) {
        const size_t outcome = line.find(": ");
        if (outcome == std::string::npos) continue;
        const std::string result = line.substr(outcome + 2);
        auto subject = [&](const char* kind) { return line.substr(std::string(kind).size(), outcome - std::string(kind).size()); };
        bool stray = false;
        if (line.rfind("NTSERVICE ", 0) == 0) {
            stray = result.find("marked for deletion") != std::string::npos && !SameText(subject("NTSERVICE "), kService);
        } else if (line.rfind("REGVAL ", 0) == 0) {
            stray = Removes(result) &&
                    std::none_of(std::begin(kValues), std::end(kValues),
                                 [&](const OwnValue& value) { return SameText(ValueText(value), subject("REGVAL ")); });
        } else {
            for (const char* kind : kRemovingKinds)
                if (line.rfind(kind, 0) == 0 && Removes(result) && !Installed(subject(kind))) stray = true;
        }
        if (stray) strays.push_back(line);
    }
    return strays;
}

std::vector<std::string> HostileProduct::Changed() const {
    std::vector<std::string> changed;
    for (const std::vector<std::string>* paths : {&m_folders, &m_files})
        for (const std::string& path : *paths)
            if (!TestFiles::Exists(path)) changed.push_back(path);
    if (!TestFiles::Exists(m_shortcut)) changed.push_back(m_shortcut);
    if (!TestServices::Exists(kService)) changed.push_back(std::string("service ") + kService);
    for (const OwnValue& value : kValues)
        if (!TestRegistry::ValueExists(value.root, value.key, value.name)) changed.push_back("value " + ValueText(value));
    if (TestRegistry::ReadDword(HKEY_LOCAL_MACHINE, kSharedDlls, m_install + kSharedCount) != 3u ||
        TestRegistry::ReadDword(HKEY_LOCAL_MACHINE, kSharedDlls, m_install + kOwnCount) != 1u)
        changed.push_back("the counts");
    if (!TestRegistry::KeyExists(HKEY_LOCAL_MACHINE, m_product.UninstallKey())) changed.push_back("the registration");
    return changed;
}

std::vector<std::string> HostileProduct::Kept() const {
    std::vector<std::string> kept;
    if (m_registered != m_install) return kept;
    if (TestFiles::Exists(m_shortcut)) kept.push_back("the shortcut");
    if (TestServices::Exists(kService)) kept.push_back(std::string("service ") + kService);
    for (const OwnValue& value : kValues)
        if (TestRegistry::ValueExists(value.root, value.key, value.name)) kept.push_back("value " + ValueText(value));
    if (TestRegistry::ValueExists(HKEY_LOCAL_MACHINE, kSharedDlls, m_install + kOwnCount)) kept.push_back("count of app.dll");
    if (TestRegistry::ReadDword(HKEY_LOCAL_MACHINE, kSharedDlls, m_install + kSharedCount) != 2u ||
        !TestFiles::Exists(m_install + kSharedCount))
        kept.push_back("common.dll and its count");
    return kept;
}
