#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Tells whether any of some registry keys, or anything below them, changed
// since it last asked: one look at the system's change notifications, so that
// what was read from them needs reading again only when it changed. A key that
// is not there (yet) is watched through the nearest key above it that is, and
// counts as changed once it appears.
class RegistryWatch {
public:
    RegistryWatch() = default;
    ~RegistryWatch();
    RegistryWatch(const RegistryWatch&) = delete;
    RegistryWatch& operator=(const RegistryWatch&) = delete;

    void Add(HKEY root, const wchar_t* subkey);
    // True when a key changed, appeared or cannot be watched; every key is
    // watched again from now on.
    bool Changed();

private:
    struct Watched {
        HKEY root;
        std::wstring subkey;
        HKEY key = nullptr;
        HANDLE event = nullptr;
        bool above = false;  // the key watched is one above it: it is not there
    };
    // False when not even the root can be watched.
    static bool Arm(Watched& watched);

    std::vector<Watched> m_keys;
};
