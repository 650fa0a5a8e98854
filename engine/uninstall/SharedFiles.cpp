#include "SharedFiles.h"

#include <algorithm>

#include "../framework/AnsiPath.h"
#include "../framework/RegKey.h"
#include "CanonicalPath.h"

namespace {
// The file's keys, each once: a count found by both must not count twice.
std::vector<const std::wstring*> Keys(const std::wstring& key, const std::wstring& finalKey) {
    std::vector<const std::wstring*> keys;
    if (!key.empty()) keys.push_back(&key);
    if (!finalKey.empty() && finalKey != key) keys.push_back(&finalKey);
    return keys;
}
}  // namespace

SharedFiles SharedFiles::Read() {
    SharedFiles shared;
    for (const wchar_t* view : kViews) {
        RegKey key;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, view, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) continue;
        for (DWORD i = 0;; ++i) {
            wchar_t name[MAX_PATH + 1];
            DWORD nameLength = MAX_PATH + 1, type = 0, count = 0, size = sizeof count;
            const LONG result = ::RegEnumValueW(key, i, name, &nameLength, nullptr, &type,
                                                reinterpret_cast<BYTE*>(&count), &size);
            if (result == ERROR_NO_MORE_ITEMS) break;
            if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) continue;
            const std::wstring valueName(name, nameLength);
            const std::wstring path = FullPathKey(valueName);
            if (path.empty()) continue;
            const bool readable = result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof count;
            shared.m_counts[path].push_back({view, valueName, readable ? count : 0, readable, false});
        }
    }
    return shared;
}

void SharedFiles::ReadAgain() {
    for (auto& [path, counts] : Read().m_counts) {
        std::vector<Count>& known = m_counts[path];
        for (Count& count : counts) {
            auto same = std::find_if(known.begin(), known.end(), [&](const Count& held) {
                return held.view == count.view && ::lstrcmpiW(held.valueName.c_str(), count.valueName.c_str()) == 0;
            });
            if (same == known.end()) {
                known.push_back(std::move(count));
            } else {
                same->readable = same->readable && count.readable;
                if (count.count > same->count) same->count = count.count;
            }
        }
    }
}

std::vector<SharedFiles::Count*> SharedFiles::CountsOf(const std::wstring& key, const std::wstring& finalKey) {
    std::vector<Count*> counts;
    for (const std::wstring* path : Keys(key, finalKey)) {
        auto found = m_counts.find(*path);
        if (found == m_counts.end()) continue;
        for (Count& count : found->second) counts.push_back(&count);
    }
    return counts;
}

SharedFiles::Share SharedFiles::Find(const std::wstring& key, const std::wstring& finalKey) const {
    Share share;
    if (m_counts.empty()) return share;
    for (const std::wstring* path : Keys(key, finalKey)) {
        auto found = m_counts.find(*path);
        if (found == m_counts.end()) continue;
        for (const Count& count : found->second) {
            share.registered = true;
            share.readable = share.readable && count.readable;
            share.released = share.released || count.released;
            if (count.count > share.count) share.count = count.count;
        }
    }
    return share;
}

DWORD SharedFiles::Release(const std::wstring& key, const std::wstring& finalKey) {
    Count* highest = nullptr;
    for (Count* count : CountsOf(key, finalKey))
        if (highest == nullptr || count->count > highest->count) highest = count;
    if (highest == nullptr || highest->count == 0) return ERROR_FILE_NOT_FOUND;
    const DWORD lowered = highest->count - 1;
    const LONG result = ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, highest->view, highest->valueName.c_str(), REG_DWORD,
                                          &lowered, sizeof lowered);
    if (result != ERROR_SUCCESS) return static_cast<DWORD>(result);
    highest->count = lowered;
    highest->released = true;
    return ERROR_SUCCESS;
}

void SharedFiles::ReleaseHere(const std::wstring& key, const std::wstring& finalKey) {
    for (Count* count : CountsOf(key, finalKey)) count->released = true;
}

void SharedFiles::Forget(const std::wstring& key, const std::wstring& finalKey) {
    for (Count* count : CountsOf(key, finalKey)) {
        RegKey view;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, count->view, 0, KEY_SET_VALUE, view.Receive()) == ERROR_SUCCESS)
            ::RegDeleteValueW(view, count->valueName.c_str());
    }
    m_counts.erase(key);
    m_counts.erase(finalKey);
}
