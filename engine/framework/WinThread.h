#pragma once
#include <windows.h>

#include <memory>

// A worker thread started with a function and a parameter. The object keeps the
// thread's handle until its owner lets it go, so the handle stays valid for a
// wait that outlasts the thread (a thread object that deleted itself when its
// thread ended would close the handle under the waiter).
class CWinThread {
public:
    using Function = UINT (*)(void* parameter);
    // The exit code of a thread whose function raised an exception, which was reported.
    static constexpr UINT kEndedByException = 0xFFFFFFFF;
    static std::unique_ptr<CWinThread> Begin(Function function, void* parameter,
                                             int priority = THREAD_PRIORITY_NORMAL);
    ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    HANDLE m_hThread = nullptr;

private:
    CWinThread() = default;
};
