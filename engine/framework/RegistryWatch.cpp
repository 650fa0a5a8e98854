#include "RegistryWatch.h"

RegistryWatch::~RegistryWatch() {
    if (m_waiter != nullptr) {
        ::SetEvent(m_stop);
        ::WaitForSingleObject(m_waiter, INFINITE);
        ::CloseHandle(m_waiter);
    }
    if (m_stop != nullptr) ::CloseHandle(m_stop);
    if (m_looked != nullptr) ::CloseHandle(m_looked);
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

DWORD WINAPI RegistryWatch::Wait(void* raw) {
    auto* watch = static_cast<RegistryWatch*>(raw);
    std::vector<HANDLE> handles{watch->m_stop};
    for (const Watched& watched : watch->m_keys) handles.push_back(watched.event);
    const HANDLE resume[] = {watch->m_stop, watch->m_looked};
    for (;;) {
        const DWORD woken = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0) return 0;
        watch->m_signalled = true;
        // The event stays signalled until Changed has looked. A failed wait
        // leaves every question to Changed's own look.
        if (woken >= WAIT_OBJECT_0 + handles.size() ||
            ::WaitForMultipleObjects(2, resume, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            break;
    }
    watch->m_waiterEnded = true;
    return 0;
}

void RegistryWatch::StartWaiting() {
    for (const Watched& watched : m_keys)
        if (watched.event == nullptr) return;
    if (m_keys.size() + 1 > MAXIMUM_WAIT_OBJECTS) return;
    m_stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_looked = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (m_stop != nullptr && m_looked != nullptr) m_waiter = ::CreateThread(nullptr, 0, Wait, this, 0, nullptr);
}

bool RegistryWatch::ChangedAsSignalled() {
    if (!m_started) {
        m_started = true;
        StartWaiting();
    }
    // Without a waiter (it could not start, or ended) every call looks.
    if (m_waiter != nullptr && !m_waiterEnded && m_armed && !m_signalled) return false;
    return Changed();
}

bool RegistryWatch::Changed() {
    m_signalled = false;
    const bool changed = Look();
    if (m_looked != nullptr) ::SetEvent(m_looked);
    return changed;
}

bool RegistryWatch::Look() {
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
    m_armed = true;
    for (const Watched& watched : m_keys) m_armed = m_armed && watched.key != nullptr;
    return changed;
}
