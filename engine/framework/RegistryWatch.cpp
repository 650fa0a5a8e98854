#include "RegistryWatch.h"

RegistryWatch::~RegistryWatch() {
    for (Watched& watched : m_keys) {
        if (watched.key != nullptr) ::RegCloseKey(watched.key);
        if (watched.event != nullptr) ::CloseHandle(watched.event);
    }
}

bool RegistryWatch::Arm(Watched& watched) {
    if (watched.event == nullptr) watched.event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (watched.event == nullptr) return false;
    if (watched.key == nullptr) {
        // The key itself, or the nearest one above it that is there.
        std::wstring path = watched.subkey;
        watched.above = false;
        while (::RegOpenKeyExW(watched.root, path.c_str(), 0, KEY_NOTIFY, &watched.key) != ERROR_SUCCESS) {
            watched.key = nullptr;
            if (path.empty()) return false;
            const size_t cut = path.rfind(L'\\');
            path.resize(cut == std::wstring::npos ? 0 : cut);
            watched.above = true;
        }
    }
    constexpr DWORD kWhat = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
    if (::RegNotifyChangeKeyValue(watched.key, TRUE, kWhat, watched.event, TRUE) == ERROR_SUCCESS) return true;
    ::RegCloseKey(watched.key);
    watched.key = nullptr;
    return false;
}

void RegistryWatch::Add(HKEY root, const wchar_t* subkey) {
    m_keys.push_back({root, subkey});
    Arm(m_keys.back());
}

bool RegistryWatch::Changed() {
    std::vector<HANDLE> events;
    bool changed = false;
    for (Watched& watched : m_keys) {
        if (watched.key != nullptr)
            events.push_back(watched.event);
        else
            changed = !Arm(watched) || !watched.above || changed;
    }
    // One question for all of them; each signalled one is armed again. A change
    // above a missing key counts only once the key is there.
    if (!events.empty() && ::WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, 0) <
                               WAIT_OBJECT_0 + events.size()) {
        for (Watched& watched : m_keys) {
            if (watched.key == nullptr || ::WaitForSingleObject(watched.event, 0) != WAIT_OBJECT_0) continue;
            ::ResetEvent(watched.event);
            if (watched.above) {
                ::RegCloseKey(watched.key);
                watched.key = nullptr;
            }
            changed = !Arm(watched) || !watched.above || changed;
        }
    }
    return changed;
}
