#include "CanaryTree.h"

#include <knownfolders.h>
#include <shlobj.h>

#include "TestPaths.h"
#include "properties/HostilePathProperties.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"
#include "TestServices.h"

namespace {
const char kSpecialCode[] = "{NORVANE-CANARY-PELMORA}";
const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kUninstall32[] = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char* const kPlatformServices[] = {"Spooler", "Winmgmt", "MSIServer", "EventLog", "RpcSs", "PlugPlay"};

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

// Services that other products and the system would have: by the service
// host, in the system folder by an environment string, a driver by the
// kernel's spelling, the third product's.
struct CanaryService {
    const char* name;
    DWORD type;
    const char* program;  // empty: the third product's, given
};
const CanaryService kCanaryServices[] = {
    {"NorvaneCanaryHost", SERVICE_WIN32_SHARE_PROCESS, "C:\\windows\\system32\\svchost.exe -k NorvaneCanary"},
    {"NorvaneCanarySystem", SERVICE_WIN32_OWN_PROCESS, "%SystemRoot%\\system32\\norvane-canary.exe --service"},
    {"NorvaneCanaryDriver", SERVICE_KERNEL_DRIVER, "System32\\drivers\\norvanecanary.sys"},
    {CanaryTree::kThirdService, SERVICE_WIN32_OWN_PROCESS, ""},
};

std::string Content(const std::string& file) { return "canary " + file; }

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }
}  // namespace

std::string CanaryTree::KnownFolder(const GUID& id) {
    PWSTR wide = nullptr;
    char narrow[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &wide)))
        ::WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, MAX_PATH, nullptr, nullptr);
    ::CoTaskMemFree(wide);
    return narrow;
}

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
    for (const char* uninstall : {kUninstall, kUninstall32})
        PlantValue(HKEY_LOCAL_MACHINE, uninstall + std::string(kThirdCode), "LastInstallationPath", m_thirdFolder);
    TestRegistry::WriteString(HKEY_LOCAL_MACHINE, kUninstall + std::string(kSpecialCode), "InstallLocation",
                              m_specialFolder);
    // A fourth product registered only per user, under a key that is no product
    // code, by an environment string, quoted, with a trailing backslash.
    m_fourthFolder = profile.substr(0, 2) + "\\Norvane Canary Fourth";
    Plant(m_fourthFolder, true);
    TestRegistry::WriteString(HKEY_CURRENT_USER, kUninstall + std::string("Norvane Canary Fourth"), "InstallLocation",
                              "\"%SystemDrive%\\Norvane Canary Fourth\\\"", REG_EXPAND_SZ);
    // Not a protected folder: its file is the canary.
    m_sharedFile = KnownFolder(FOLDERID_ProgramFilesCommon) + "\\Norvane Canary\\shared.dll";
    TestFiles::MakeDirectories(Parent(m_sharedFile));
    m_files.push_back(m_sharedFile);
    TestFiles::Write(m_sharedFile, Content(m_sharedFile));
    Renew();

    const std::string installer = Parent(productFolder);
    m_thirdInformation = installer + "\\" + kThirdCode;
    for (const std::string& folder : {m_thirdInformation, productFolder}) Plant(folder, true);
    m_productCanary = m_files.back();
    m_files.push_back(ThirdInformation());
    TestFiles::Write(m_files.back(), Content(m_files.back()));
    m_folders.push_back(installer);

    m_linkFolder = programFiles + "\\Norvane Canary Links";
    TestFiles::MakeDirectories(m_linkFolder);
    TestFiles::MakeUnixLink(installer, InformationLink());
    TestFiles::MakeUnixLink(CurrentFolder() + "\\" + kCanaryName, FileLink());
    const std::string windows = TestFiles::WindowsDirectory();
    TestFiles::MakeDosDevice("y:", "C:\\", OnOtherDrive(windows));
    TestFiles::MakeDosDevice("unc/localhost/c$", "C:\\", OnAdminShare(windows));

    for (const char* name : kPlatformServices)
        if (TestServices::Exists(name)) m_services.push_back(name);
    for (const CanaryService& service : kCanaryServices) {
        TestServices::Make(service.name, *service.program ? service.program : "\"" + OutsideProgram() + "\" /service",
                           service.type);
        m_services.push_back(service.name);
    }

    m_sid = TestRegistry::CurrentUserSid();
    const std::string starts = "\"" + OutsideProgram() + "\" /canary";
    for (const char* software : {"SOFTWARE\\", "SOFTWARE\\Wow6432Node\\"}) {
        for (const char* place : {"Microsoft\\Windows\\CurrentVersion\\Run", "Microsoft\\Windows\\CurrentVersion\\RunOnce",
                                  "Microsoft\\Windows NT\\CurrentVersion\\Winlogon"})
            PlantValue(HKEY_LOCAL_MACHINE, software + std::string(place), kValueName, starts);
        PlantValue(HKEY_LOCAL_MACHINE, software + std::string("Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kThirdCode,
                   kValueName, starts);
    }
    PlantValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", kValueName, starts);
    for (const char* place : {"Run", "RunOnce", "Explorer\\Shell Folders", "Explorer\\User Shell Folders"})
        PlantValue(HKEY_CURRENT_USER, std::string("Software\\Microsoft\\Windows\\CurrentVersion\\") + place, kValueName,
                   place[0] == 'R' ? starts : CurrentFolder());
    // Other programs' file types, the environment, the user's settings.
    for (const char* place : {"Environment", "Control Panel\\Desktop", "Software\\Classes\\NorvaneCanary.File\\shell\\open\\command"})
        PlantValue(HKEY_CURRENT_USER, place, kValueName, starts + ";" + CurrentFolder());
    for (const char* place : {"Control\\Session Manager", "Control\\Session Manager\\Environment",
                              "Services\\NorvaneCanaryThird"})
        PlantValue(HKEY_LOCAL_MACHINE, std::string("SYSTEM\\CurrentControlSet\\") + place, kValueName, starts);
}

CanaryTree::~CanaryTree() {
    TestFiles::RemoveUnixLink(FileLink());
    TestFiles::RemoveUnixLink(InformationLink());
    TestFiles::RemoveTree(m_linkFolder);
    const std::string windows = TestFiles::WindowsDirectory();
    TestFiles::RemoveDosDevice("y:", OnOtherDrive(windows));
    TestFiles::RemoveDosDevice("unc/localhost/c$", OnAdminShare(windows));
    for (const std::string& file : m_files) ::DeleteFileA(file.c_str());
    for (const Value& value : m_values) TestRegistry::DeleteValue(value.root, value.key, value.name);
    for (const char* uninstall : {kUninstall, kUninstall32})
        for (const char* code : {kThirdCode, kSpecialCode}) TestRegistry::DeleteTree(HKEY_LOCAL_MACHINE, uninstall + std::string(code));
    TestRegistry::DeleteValue(HKEY_LOCAL_MACHINE, kSharedDlls, m_sharedFile);
    for (const CanaryService& made : kCanaryServices) TestServices::Delete(made.name);
    TestRegistry::DeleteTree(HKEY_CURRENT_USER, "Software\\Classes\\NorvaneCanary.File");
    TestRegistry::DeleteTree(HKEY_CURRENT_USER, kUninstall + std::string("Norvane Canary Fourth"));
    for (const std::string& folder :
         {m_secondProfile, m_thirdFolder, m_fourthFolder, m_specialFolder, m_thirdInformation, Parent(m_sharedFile)})
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

void CanaryTree::PlantValue(HKEY root, const std::string& key, const std::string& name, const std::string& data) {
    TestRegistry::WriteString(root, key, name, data);
    m_values.push_back({root, key, name, data});
}

void CanaryTree::Renew() const { TestRegistry::WriteDword(HKEY_LOCAL_MACHINE, kSharedDlls, m_sharedFile, kSharedCount); }

// The value's path as a REGVAL line may give it: the user's hive by its SID,
// a second root before the one that counts, the key in another case, and
// doubled separators.
std::string CanaryTree::Spelled(const Value& value, InputGenerator& generator) const {
    std::string root;
    if (value.root == HKEY_CURRENT_USER) {
        const std::vector<std::string> roots = {"HKEY_CURRENT_USER\\", "HKEY_USERS\\" + m_sid + "\\",
                                                "HKEY_CLASSES_ROOT\\HKEY_CURRENT_USER\\"};
        root = generator.Pick(roots);
    } else {
        const std::vector<std::string> roots = {"HKEY_LOCAL_MACHINE\\", "HKEY_CURRENT_USER\\HKEY_LOCAL_MACHINE\\",
                                                "HKEY_LOCAL_MACHINE\\HKEY_CLASSES_ROOT\\"};
        root = generator.Pick(roots);
    }
    std::string key = HostilePaths::Recased(value.key, generator);
    if (generator.OneIn(6) && key.find('\\') != std::string::npos) key.insert(key.find('\\'), "\\");
    return root + key + "\\" + HostilePaths::Recased(value.name, generator);
}

std::string CanaryTree::HostileLine(InputGenerator& generator, bool refusedByPath) const {
    const std::string information = TestFiles::WindowsDirectory() + "\\Installer";
    switch (generator.Below(10)) {
    case 0:
    case 1:
    case 2: {
        const std::string& folder = generator.Pick(m_folders);
        switch (generator.Below(6)) {
        case 0: return "DIR=" + HostilePaths::Unrooted(folder, CurrentFolder(), generator);
        case 1: return "DIR=" + OnOtherDrive(HostilePaths::Respell(folder, generator));
        case 2: return "DIR=" + OnAdminShare(folder);
        default:
            return "DIR=" + HostilePaths::Respell(generator.OneIn(4) ? TestFiles::ShortPath(folder) : folder, generator);
        }
    }
    case 3:
    case 4: {
        const std::string& file = generator.Pick(m_files);
        const bool inInformation = file.rfind(information + "\\", 0) == 0;
        return (generator.OneIn(2) ? "FILE=" : "SHORTCUT=") +
               (inInformation && generator.OneIn(2) ? HostilePaths::Respell(file, generator)
                                                    : HostilePaths::Unrooted(file, CurrentFolder(), generator));
    }
    case 5: {
        // The uninstall information where it really is, and links and shares.
        const std::string& file = generator.OneIn(2) ? ThirdInformation() : m_productCanary;
        switch (generator.Below(refusedByPath ? 3 : 5)) {
        case 0: return "FILE=" + OnOtherDrive(file);
        case 1: return "FILE=" + OnAdminShare(file);
        case 2: return "FILE=" + InformationLink() + file.substr(information.size());
        case 3: return "SHORTCUT=" + FileLink();
        default: return "FILE=" + HostilePaths::Respell(m_sharedFile, generator);
        }
    }
    case 6: return "NTSERVICE=" + HostilePaths::Recased(generator.Pick(m_services), generator);
    default: return "REGVAL=" + Spelled(generator.Pick(m_values), generator);
    }
}

std::vector<std::string> CanaryTree::Damaged() const {
    std::vector<std::string> damaged;
    for (const std::string& file : m_files)
        if (TestFiles::Read(file) != Content(file)) damaged.push_back("file " + file);
    for (const std::string& folder : m_emptyFolders)
        if (!TestFiles::IsDirectory(folder)) damaged.push_back("folder " + folder);
    if (TestFiles::Exists(Parent(OutsideProgram()) + "\\companion-program.log")) damaged.push_back("program started");
    for (const std::string& service : m_services)
        if (!TestServices::Exists(service)) damaged.push_back("service " + service);
    for (const Value& value : m_values)
        if (TestRegistry::ReadString(value.root, value.key, value.name) != value.data)
            damaged.push_back("value " + value.key + "\\" + value.name);
    if (TestRegistry::ReadDword(HKEY_LOCAL_MACHINE, kSharedDlls, m_sharedFile).value_or(0) + 1 < kSharedCount)
        damaged.push_back("shared count of " + m_sharedFile);
    return damaged;
}
