#pragma once
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../framework/RegistryWatch.h"
#include "ProtectedFolders.h"
#include "ProtectedRegistry.h"
#include "RemovalOutcome.h"
#include "SharedFiles.h"

enum class FolderAction {
    kEmptyFolder,           // a "DIR" line: the folder goes only when empty
    kInstallFolder,         // REMOVEALL: the install folder with all it holds
    kSpecialProductFolder,  // the special product's folder, another product's by design
};

// The one place every action of a removal asks before it acts: files and
// shortcuts, folders, the install folder, the special product's cleanup,
// services, registry values and companions. An action goes only for what is
// shown to be the product's: what lies in its folders (the install folder,
// the per-product folder and the uninstall log's DIR folders, each one that
// may be a product's folder at all), a shortcut where installers put
// shortcuts, a file counted among the shared, a value in a key of its own or
// whose data names its folders alone. Everything else stays, and so does what
// is protected whoever claims it: every registered product's folder and
// registration, every user's known and shell folders with their redirections,
// the Windows, system, temporary and uninstall-information folders, the
// services with their programs, the counts of shared files. The protections
// are read before the first line of the uninstall log and read again, as far
// as they changed, before each action (Refresh, or RefreshAsSignalled for the
// files of a silent run): one that appears during the run counts, and no line
// can lift one for a later one (a line deleting
// another product's LastInstallationPath once let REMOVEALL take that
// product's folder).
class RemovalGuard {
public:
    // The product's install folder as registered (canonicalized here) and its
    // per-product folder (canonical).
    RemovalGuard(const std::string& productCode, const std::string& installFolder, const std::string& productFolder);

    // A folder of a DIR line, read before the first action: one that may be a
    // product's folder counts among the product's.
    void AddLogFolder(const std::string& raw);
    // Reads again what changed since it was read: registrations and counts of shared files.
    void Refresh();
    // The same as far as the system's notifications have reached the guard's
    // waiting thread: for the many files of a run, where a look at the
    // notifications for each would cost as much as half a deletion.
    void RefreshAsSignalled();

    // A folder of that key (PathKey) for the action.
    Refusal FolderRefusal(const std::wstring& key, FolderAction action) const;
    // A file of that key, by its spelling or by where it really is.
    Refusal FileRefusal(const std::wstring& key) const;
    // A file by its spelling and where it really is, when it is not shown to
    // be the product's.
    Refusal OwnershipRefusal(const std::wstring& key, const std::wstring& finalKey) const;
    // A system file that the platform's file protection keeps (by the file's path).
    bool IsPlatformProtected(const std::wstring& path) const;
    // An entry of a tree being removed that stays: shared by other products, or the platform's.
    bool KeepsInTree(const std::wstring& key) const;
    SharedFiles& Shared() { return m_shared; }

    // The service of that name, judged by its program as registered when the
    // removal began and as the service manager has it now. Nothing for a
    // service that is not there: its deletion says so.
    Refusal ServiceRefusal(SC_HANDLE manager, const std::string& name) const;
    // A value of the key opened (with KEY_QUERY_VALUE) from the root with the subkey.
    Refusal RegistryValueRefusal(HKEY key, HKEY root, const std::string& subkey, const std::string& valueName) const;
    // The key opened from the root with the subkey, to be deleted with all it holds.
    Refusal RegistryKeyRefusal(HKEY key, HKEY root, const std::string& subkey) const;
    // A companion of that canonical path, which must lie in the per-product folder.
    Refusal CompanionRefusal(const std::string& fullPath) const;

    // The canonical path of a program lies in the product's own folders: the
    // per-product folder, and the install folder when the removal would take it
    // and the program is none of the platform's (in the Windows folder).
    bool IsProductsProgram(const std::string& program) const;

private:
    struct Folder {
        std::wstring key;
        std::optional<std::wstring> finalKey;
    };
    static bool Holds(const Folder& folder, const std::wstring& key, const std::optional<std::wstring>& finalKey);
    std::optional<Folder> ProductsFolder(const std::string& raw) const;
    bool InProductsFolders(const std::wstring& key, const std::optional<std::wstring>& finalKey) const;
    Refusal DataRefusal(HKEY key, const std::string& valueName) const;
    void ReadAgain();

    const std::string m_productCode;
    ProtectedFolders m_folders;
    std::wstring m_uninstallInformation;
    Folder m_productFolder;
    Folder m_windows;
    std::optional<Folder> m_installFolder;
    // The per-product folder, the install folder, the log's DIR folders.
    std::vector<Folder> m_ownFolders;
    // Every service by its name in upper case, with its program's canonical path
    // (empty when it names none) and its command as registered.
    std::map<std::wstring, std::pair<std::string, std::wstring>> m_services;
    std::optional<ProtectedRegistry> m_registry;
    SharedFiles m_shared;
    // The registrations and the counts of shared files.
    RegistryWatch m_changes;
};
