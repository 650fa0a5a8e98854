#pragma once
#include <windows.h>

#include <string>
#include <vector>

class InputGenerator;

// The places no removal may touch, each with a canary: a file in every known
// folder of the user's profile and of a second one (some of those folders left
// empty, their being there the canary), in the machine's folders and at the
// drive's root; a third product, registered in both views, with its folder,
// its uninstall information, its service and a file it shares (SharedDLLs); a
// fourth, registered per user only, by an environment string;
// the special product's folder; a file beside the uninstall log of the product
// under test; services of the platform, of the service host, of the system
// folder and a driver; a value in every protected place of the registry and in
// other programs' places (a file type, the environment, Control Panel); and
// other spellings of these places: another drive letter (Y:), the
// administrative share (\\localhost\c$), a folder link to the uninstall
// information and a link to a file. Everything it made goes with it.
class CanaryTree {
public:
    explicit CanaryTree(const std::string& productFolder);
    ~CanaryTree();
    CanaryTree(const CanaryTree&) = delete;
    CanaryTree& operator=(const CanaryTree&) = delete;

    static constexpr char kCanaryName[] = "norvane-canary.txt";
    static constexpr char kThirdCode[] = "{NORVANE-CANARY-THIRD}";
    static constexpr char kThirdService[] = "NorvaneCanaryThird";
    static constexpr char kValueName[] = "NorvaneCanary";
    static constexpr DWORD kSharedCount = 5;

    // Every protected folder, and the folders of the other products.
    const std::vector<std::string>& Folders() const { return m_folders; }
    // A folder in another product's folder, which no install folder may be.
    std::string InOtherProduct() const { return m_specialFolder + "\\Projects"; }
    // Where a run starts: it holds the canary file kCanaryName.
    std::string CurrentFolder() const { return m_secondProfile + "\\Documents"; }
    // A program outside the product's folder, which records its start beside itself.
    std::string OutsideProgram() const { return m_thirdFolder + "\\tool.exe"; }
    std::string ThirdFolder() const { return m_thirdFolder; }
    // The third product's uninstall log, which no spelling may reach.
    std::string ThirdInformation() const { return m_thirdInformation + "\\uninstall.log"; }
    // The third product's file, shared (kSharedCount) with it.
    std::string SharedFile() const { return m_sharedFile; }
    // A folder link to the uninstall information, and a link to the canary
    // file of CurrentFolder().
    std::string InformationLink() const { return m_linkFolder + "\\installer"; }
    std::string FileLink() const { return m_linkFolder + "\\notes.txt"; }
    // The same place by another drive letter or by the administrative share.
    static std::string OnOtherDrive(const std::string& path) { return "Y:" + path.substr(2); }
    static std::string OnAdminShare(const std::string& path) { return "\\\\localhost\\c$" + path.substr(2); }

    // An uninstall log's line naming a canary as hostile logs do: a folder in a
    // DIR line, by any spelling, drive or share, or without its root; a file in
    // a FILE or SHORTCUT line without its root (from CurrentFolder(), where a
    // run starts), or by any spelling or link in the uninstall information, a
    // link to a file, another product's shared file; a service of the platform
    // or another product; a registry value of a protected place, by any spelling
    // of its root, view and case. The engine must refuse each, or leave it;
    // with refusedByPath only lines whose path, or where it really is, the
    // guard refuses (no link to a file, no shared file).
    std::string HostileLine(InputGenerator& generator, bool refusedByPath = false) const;

    // A run starts with the shared file's count as planted: a log may give up
    // the third product's share once, as if it were its own.
    void Renew() const;
    // What is no longer as it was: a missing or changed canary, a started program.
    std::vector<std::string> Damaged() const;
    // A known folder's path (FOLDERID_...), empty where it has none.
    static std::string KnownFolder(const GUID& id);

private:
    struct Value {
        HKEY root;
        std::string key, name, data;
    };
    void Plant(const std::string& folder, bool withFile);
    void PlantValue(HKEY root, const std::string& key, const std::string& name, const std::string& data);
    std::string Spelled(const Value& value, InputGenerator& generator) const;

    std::string m_secondProfile;
    std::string m_thirdFolder;
    std::string m_fourthFolder;
    std::string m_specialFolder;
    std::string m_thirdInformation;
    std::string m_sharedFile;
    std::string m_productCanary;
    std::string m_linkFolder;
    std::string m_sid;
    std::vector<std::string> m_folders;
    std::vector<std::string> m_files;
    std::vector<std::string> m_emptyFolders;
    std::vector<std::string> m_services;  // the platform's that are there, and those made here
    std::vector<Value> m_values;
};
