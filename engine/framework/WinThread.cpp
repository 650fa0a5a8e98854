#include "WinThread.h"

#include <process.h>

#include "ExceptionBoundary.h"

namespace {
struct StartArguments {
    CWinThread::Function function;
    void* parameter;
};

unsigned __stdcall ThreadEntry(void* raw) {
    StartArguments arguments = *static_cast<StartArguments*>(raw);
    delete static_cast<StartArguments*>(raw);
    return Guarded(CWinThread::kEndedByException, [&] { return arguments.function(arguments.parameter); });
}
}  // namespace

std::unique_ptr<CWinThread> CWinThread::Begin(Function function, void* parameter, int priority) {
    auto* arguments = new StartArguments{function, parameter};
    // Created suspended so the priority is in place before the first instruction.
    uintptr_t handle = ::_beginthreadex(nullptr, 0, ThreadEntry, arguments, CREATE_SUSPENDED, nullptr);
    if (handle == 0) {
        delete arguments;
        return nullptr;
    }
    std::unique_ptr<CWinThread> thread(new CWinThread);
    thread->m_hThread = reinterpret_cast<HANDLE>(handle);
    ::SetThreadPriority(thread->m_hThread, priority);
    ::ResumeThread(thread->m_hThread);
    return thread;
}

CWinThread::~CWinThread() {
    if (m_hThread != nullptr) ::CloseHandle(m_hThread);
}
