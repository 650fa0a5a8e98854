#include "CanaryTree.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "TestPaths.h"
#include "properties/HostilePathProperties.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

namespace {
const char kThirdCode[] = "{NORVANE-CANARY-THIRD}";
const char kSpecialCode[] = "{NORVANE-CANARY-PELMORA}";
const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string KnownFolder(const KNOWNFOLDERID& id) {
    PWSTR wide = nullptr;
    char narrow[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &wide)))
        ::WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, MAX_PATH, nullptr, nullptr);
    ::CoTaskMemFree(wide);
    return narrow;
}

// The user's folders; those whose being there is their canary come first.
const KNOWNFOLDERID* const kUserFolders[] = {
    &FOLDERID_Favorites, &FOLDERID_Links,       &FOLDERID_Contacts,  &FOLDERID_Desktop,  &FOLDERID_Documents,
    &FOLDERID_Downloads, &FOLDERID_Music,       &FOLDERID_Pictures,  &FOLDERID_Videos,   &FOLDERID_SavedGames,
    &FOLDERID_SavedSearches, &FOLDERID_RoamingAppData, &FOLDERID_LocalAppData, &FOLDERID_StartMenu, &FOLDERID_Programs,
    &FOLDERID_SendTo,    &FOLDERID_Templates};
const KNOWNFOLDERID* const kMachineFolders[] = {
    &FOLDERID_Windows,       &FOLDERID_System, &FOLDERID_ProgramFiles,    &FOLDERID_ProgramFilesCommon,
    &FOLDERID_ProgramData,   &FOLDERID_Public, &FOLDERID_PublicDesktop,   &FOLDERID_PublicDocuments,
    &FOLDERID_CommonStartMenu, &FOLDERID_Fonts};

std::string Content(const std::string& file) { return "canary " + file; }

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }
}  // namespace

CanaryTree::CanaryTree(const std::string& productFolder) {
    const std::string profile = KnownFolder(FOLDERID_Profile);
    const std::string profiles = Parent(profile);
    m_secondProfile = profiles + "\\norvane-canary";
    for (const std::string& owner : {profile, m_secondProfile}) {
        int empty = owner == profile ? 2 : 3;
        for (const KNOWNFOLDERID* id : kUserFolders) {
            const std::string folder = KnownFolder(*id);
            if (folder.rfind(profile + "\\", 0) == 0) Plant(owner + folder.substr(profile.size()), empty-- <= 0);
        }
        m_folders.push_back(owner);
    }
    for (const KNOWNFOLDERID* id : kMachineFolders) Plant(KnownFolder(*id), true);
    const std::string drive = profile.substr(0, 3);
    m_files.push_back(drive + kCanaryName);
    TestFiles::Write(m_files.back(), Content(m_files.back()));
    m_folders.push_back(drive);
    m_folders.push_back(profiles);

    const std::string programFiles = KnownFolder(FOLDERID_ProgramFiles);
    m_thirdFolder = programFiles + "\\Norvane Canary Third";
    m_specialFolder = programFiles + "\\Pelmora Studio";
    Plant(m_thirdFolder, true);
    Plant(m_specialFolder + "\\Projects", true);
    m_folders.back() = m_specialFolder;
    ::CopyFileA(NORVANE_TEST_BIN_DIR "\\companion.exe", OutsideProgram().c_str(), FALSE);
    TestRegistry::WriteString(HKEY_LOCAL_MACHINE, kUninstall + std::string(kThirdCode), "LastInstallationPath",
                              m_thirdFolder);
    TestRegistry::WriteString(HKEY_LOCAL_MACHINE, kUninstall + std::string(kSpecialCode), "InstallLocation",
                              m_specialFolder);

    const std::string installer = Parent(productFolder);
    m_thirdInformation = installer + "\\" + kThirdCode;
    for (const std::string& folder : {m_thirdInformation, productFolder}) Plant(folder, true);
    m_files.push_back(m_thirdInformation + "\\uninstall.log");
    TestFiles::Write(m_files.back(), Content(m_files.back()));
    m_folders.push_back(installer);
}

CanaryTree::~CanaryTree() {
    for (const std::string& file : m_files) ::DeleteFileA(file.c_str());
    for (const char* code : {kThirdCode, kSpecialCode}) TestRegistry::DeleteTree(HKEY_LOCAL_MACHINE, kUninstall + std::string(code));
    for (const std::string& folder : {m_secondProfile, m_thirdFolder, m_specialFolder, m_thirdInformation})
        TestFiles::RemoveTree(folder);
}

void CanaryTree::Plant(const std::string& folder, bool withFile) {
    TestFiles::MakeDirectories(folder);
    m_folders.push_back(folder);
    if (!withFile) {
        m_emptyFolders.push_back(folder);
        return;
    }
    m_files.push_back(folder + "\\" + kCanaryName);
    TestFiles::Write(m_files.back(), Content(m_files.back()));
}

std::string CanaryTree::HostileLine(InputGenerator& generator) const {
    if (generator.OneIn(2)) {
        const std::string& folder = generator.Pick(m_folders);
        if (generator.OneIn(4)) return "DIR=" + HostilePaths::Unrooted(folder, CurrentFolder(), generator);
        return "DIR=" + HostilePaths::Respell(generator.OneIn(4) ? TestFiles::ShortPath(folder) : folder, generator);
    }
    const std::string& file = generator.Pick(m_files);
    const bool information = file.rfind(TestFiles::WindowsDirectory() + "\\Installer\\", 0) == 0;
    return (generator.OneIn(2) ? "FILE=" : "SHORTCUT=") +
           (information && generator.OneIn(2) ? HostilePaths::Respell(file, generator)
                                              : HostilePaths::Unrooted(file, CurrentFolder(), generator));
}

std::vector<std::string> CanaryTree::Damaged() const {
    std::vector<std::string> damaged;
    for (const std::string& file : m_files)
        if (TestFiles::Read(file) != Content(file)) damaged.push_back("file " + file);
    for (const std::string& folder : m_emptyFolders)
        if (!TestFiles::IsDirectory(folder)) damaged.push_back("folder " + folder);
    if (TestFiles::Exists(Parent(OutsideProgram()) + "\\companion-program.log")) damaged.push_back("program started");
    return damaged;
}
