#pragma once
#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "ProtectedFolders.h"
#include "ProtectedRegistry.h"
#include "SharedFiles.h"

enum class FolderAction {
    kEmptyFolder,           // a "DIR" line: the folder goes only when empty
    kInstallFolder,         // REMOVEALL: the install folder with all it holds
    kSpecialProductFolder,  // the special product's folder, another product's by design
};

// The one place every action of a removal asks before it acts: files and
// shortcuts, folders, the install folder, the special product's cleanup,
// services, registry values and companions. What it protects is read once,
// before the first line of the uninstall log is applied, so that no line can
// lift a protection for a later one (a line deleting another product's
// LastInstallationPath once let REMOVEALL take that product's folder): every
// registered product's install folder and registration, every user's known
// and shell folders with their redirections, the Windows, system and
// uninstall-information folders, the services with their programs, the counts
// of shared files. Each refusal is a text as the removal log gives it.
class RemovalGuard {
public:
    // The product's install folder as registered (canonicalized here) and its
    // per-product folder (canonical).
    RemovalGuard(const std::string& productCode, const std::string& installFolder, const std::string& productFolder);

    // A folder of that key (PathKey) for the action.
    const char* FolderRefusal(const std::wstring& key, FolderAction action) const;
    // A file of that key, by its spelling or by where it really is.
    const char* FileRefusal(const std::wstring& key) const;
    // A system file that the platform's file protection keeps (by the file's path).
    bool IsPlatformProtected(const std::wstring& path) const;
    // An entry of a tree being removed that stays: shared by other products, or the platform's.
    bool KeepsInTree(const std::wstring& key) const;
    SharedFiles& Shared() { return m_shared; }

    // The service of that name, judged by its program as registered when the
    // removal began and as the service manager has it now. Nothing for a
    // service that is not there: its deletion says so.
    std::string ServiceRefusal(SC_HANDLE manager, const std::string& name) const;
    // A value of the key opened (with KEY_QUERY_VALUE) from the root with the subkey.
    std::string RegistryValueRefusal(HKEY key, HKEY root, const std::string& subkey,
                                     const std::string& valueName) const;
    // The key opened from the root with the subkey, to be deleted with all it holds.
    const char* RegistryKeyRefusal(HKEY key, HKEY root, const std::string& subkey) const;
    // A companion of that canonical path, which must lie in the per-product folder.
    std::string CompanionRefusal(const std::string& fullPath) const;

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
    std::string ProgramRefusal(const std::string& program, const std::wstring& command, const char* what) const;

    ProtectedFolders m_folders;
    std::wstring m_uninstallInformation;
    Folder m_productFolder;
    Folder m_windows;
    std::optional<Folder> m_installFolder;
    // Every service by its name in upper case, with its program's canonical path
    // (empty when it names none) and its command as registered.
    std::map<std::wstring, std::pair<std::string, std::wstring>> m_services;
    std::optional<ProtectedRegistry> m_registry;
    SharedFiles m_shared;
};
