#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "ProtectedFolders.h"

// What became of one removal, as the removal log words it: a text of its own,
// or, without one, the outcome its error code tells.
struct RemovalOutcome {
    const char* text = nullptr;
    DWORD error = ERROR_SUCCESS;
};

enum class FolderAction {
    kEmptyFolder,           // a "DIR" line: the folder goes only when empty
    kInstallFolder,         // REMOVEALL: the install folder with all it holds
    kSpecialProductFolder,  // the special product's folder, another product's by design
};

// The removal of folders by canonical path (CanonicalPath.h): each folder is
// checked against the protected folders by its path and by where it really
// is, links followed, and a link goes as a link, without its target. A whole
// tree never goes from inside another product's folder, nor with one: a
// careless registration can name any folder as the install folder.
class FolderRemoval {
public:
    explicit FolderRemoval(std::string ownProductCode);

    RemovalOutcome Remove(const std::string& canonical, FolderAction action);
    // Why the folder of that key may not go so; nothing when it may.
    const char* Refusal(const std::wstring& key, FolderAction action);

private:
    const std::string m_ownProductCode;
    // Read when first needed: a log without folders never asks the shell.
    std::optional<ProtectedFolders> m_protected;
};
