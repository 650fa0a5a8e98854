#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

// Tells whether any of some registry keys, or anything below them, changed
// since it last asked, from the system's change notifications, so that what
// was read from them needs reading again only when it changed. A key that is
// not there (yet) is watched through the nearest key above it that is, and
// counts as changed once it appears. A thread of its own waits for the
// notifications, so that a question that may wait for it costs no call to the
// system while nothing changed: under Wine each look at an event is a call to
// its server, dear beside a file's deletion.
class RegistryWatch {
public:
    RegistryWatch() = default;
    ~RegistryWatch();
    RegistryWatch(const RegistryWatch&) = delete;
    RegistryWatch& operator=(const RegistryWatch&) = delete;

    void Add(HKEY root, const wchar_t* subkey);
    // True when a key changed, appeared or cannot be watched; every key is
    // watched again from now on. The keys are all added before the first call.
    bool Changed();
    // The same, but a change the system has signalled and the waiting thread
    // has not yet seen (a moment's work for it) may count only on a later call.
    bool ChangedAsSignalled();

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
    // The system's own look at every event, each signalled one armed again.
    bool Look();
    static DWORD WINAPI Wait(void* watch);
    void StartWaiting();

    std::vector<Watched> m_keys;
    // Set by the waiting thread once an event is signalled (or the wait
    // failed); cleared when Changed looks.
    std::atomic<bool> m_signalled = true;
    std::atomic<bool> m_waiterEnded = false;
    bool m_started = false;
    // Every key is watched by its own notification: nothing to ask otherwise.
    bool m_armed = false;
    HANDLE m_waiter = nullptr;
    HANDLE m_stop = nullptr;
    // Changed has looked: the waiter waits for the events again.
    HANDLE m_looked = nullptr;
};
