#pragma once
#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

// Where a registry key really is: its name in the system's own namespace,
// upper case ("\REGISTRY\MACHINE\SOFTWARE\...", "\REGISTRY\USER\S-1-5-...\..."),
// whatever root, view or link the path took to reach it: HKEY_CURRENT_USER and
// HKEY_USERS\<the user's SID>, HKEY_CLASSES_ROOT and the machine's Classes,
// HKEY_CURRENT_CONFIG and its control set come to one name. The key is the one
// opened from the root with the subkey; a root itself (an empty subkey) has its
// root's name. Nothing when the system cannot tell.
std::optional<std::wstring> RegistryKeyName(HKEY opened, HKEY root, const std::string& subkey);

// What a registry key is to the removal, by its name (RegistryKeyName), in
// both views (Wow6432Node) and below every user's hive.
enum class RegistryPlace {
    kOrdinary,
    kOtherProduct,    // inside another product's uninstall registration
    kReadByRemoval,   // the uninstall registrations, shell folders, profile list, shared files' counts
    kVital,           // Session Manager and the rest of Control, Winlogon, another service's settings
};

class ProtectedRegistry {
public:
    // The product's own registration and services are not another product's.
    ProtectedRegistry(std::string ownProductCode, std::set<std::wstring> ownServices);

    // The place a value of the key of that name is in.
    RegistryPlace PlaceOf(const std::wstring& keyName) const;
    // The key of that name is a protected place, lies in one or holds one.
    bool Protects(const std::wstring& keyName) const;
    // The key of that name is a vendor's, where a product keeps its own
    // settings: below "Software" of a user or the machine, either view, in a
    // subkey that is none of the system's own (Microsoft, Classes, Policies,
    // Clients, RegisteredApplications).
    static bool IsVendorsKey(const std::wstring& keyName);

private:
    struct Place {
        std::vector<std::wstring> names;  // "*" stands for any one name
        RegistryPlace kind;
    };
    const Place* Containing(const std::vector<std::wstring>& names) const;

    std::wstring m_ownProductCode;   // upper case
    std::set<std::wstring> m_ownServices;  // upper case
    std::vector<Place> m_places;
};
