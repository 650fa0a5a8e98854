#pragma once
#include <string>
#include <vector>

// Folders that no removal of a folder may take (a "DIR" line, REMOVEALL, the
// special product's cleanup), nor any folder holding one of them: drive roots,
// every file-system folder the shell knows (its known folders: the Windows and
// Program Files folders, ProgramData, the public profile, a user's profile,
// AppData, Desktop, Documents, Downloads, Favorites, Links, Start Menu...), the
// same per-user folders in every other user's profile, and the folders of the
// uninstall information of every product with all they hold. Uninstallers that
// wiped such folders, because a user had installed a product straight into one
// or a log named one, are the reason; an empty Favorites folder goes as easily
// as a product's. Paths are compared as keys (CanonicalPath.h), so a folder
// counts by every spelling. When the shell cannot say, everything is protected.
class ProtectedFolders {
public:
    // Where products register, below either hive: both views of the uninstall key.
    static constexpr const wchar_t* kRegistrationKeys[] = {
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall", nullptr};

    // What the machine has now. The registration of the product being removed
    // (its code) does not count among the other products.
    static ProtectedFolders Read(const std::string& ownProductCode = {});
    // The registrations once more: a product registered since counts from now
    // on, and one that went keeps counting.
    void ReadRegistrationsAgain(const std::string& ownProductCode);

    // The key (PathKey) of a full path names a protected folder or one that
    // holds one; everything that is not a drive path is.
    bool Protects(const std::wstring& key) const;
    // The key names the install folder another registered product gives, or a
    // folder that holds one.
    bool HoldsAnotherProduct(const std::wstring& key) const;
    // The key names a folder inside another registered product's.
    bool LiesInAnotherProduct(const std::wstring& key) const;
    // A temporary folder (the system's, this user's, any profile's) or inside one.
    bool IsTemporary(const std::wstring& key) const;
    // Inside, or one of, a user's places for documents: Documents, Pictures,
    // Music, Videos, Downloads, Desktop, Favorites, their public counterparts
    // and their redirections, in every profile.
    bool InDocuments(const std::wstring& key) const;
    // Inside a place where installers put shortcuts: each profile's and the
    // common Desktop, Start menu, Quick Launch.
    bool IsShortcutPlace(const std::wstring& key) const;

private:
    bool m_complete = false;
    std::vector<std::wstring> m_machine;    // with every folder holding one
    std::vector<std::wstring> m_inProfile;  // per-user folders, relative to a profile
    std::vector<std::wstring> m_profiles;
    // Each as a folder of the machine, and relative to a profile.
    struct Places {
        std::vector<std::wstring> machine;
        std::vector<std::wstring> inProfile;
    };
    bool InPlaces(const Places& places, const std::wstring& key) const;
    Places m_temporary;
    Places m_documents;
    Places m_shortcuts;
    std::wstring m_profilesFolder;
    std::wstring m_installer;  // with everything in it
    std::vector<std::wstring> m_otherProducts;
};

// The Windows folder, and the folder of every product's uninstall information
// ("Installer" in it), as keys.
std::wstring WindowsFolderKey();
std::wstring UninstallInformationKey();
