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

// The removal of folders by canonical path (CanonicalPath.h): each folder is
// checked against the protected folders by its path and by where it really
// is, links followed, and a link goes as a link, without its target.
class FolderRemoval {
public:
    explicit FolderRemoval(std::string ownProductCode);

    // A "DIR" folder: removed only when empty.
    RemovalOutcome RemoveEmptyFolder(const std::string& canonical);
    // The install folder with all it holds; it must hold no other product's.
    RemovalOutcome RemoveInstallFolder(const std::string& canonical);
    // The special product's folder, which is another product's by design.
    RemovalOutcome RemoveSpecialProductFolder(const std::string& canonical);

private:
    RemovalOutcome Remove(const std::string& canonical, bool tree, bool spareOtherProducts);
    const char* Refusal(const std::wstring& key, bool spareOtherProducts);

    const std::string m_ownProductCode;
    // Read when first needed: a log without folders never asks the shell.
    std::optional<ProtectedFolders> m_protected;
};
