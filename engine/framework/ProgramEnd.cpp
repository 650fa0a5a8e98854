#include "ProgramEnd.h"

#include <windows.h>

#include "Trace.h"

namespace {
std::function<void()>& Handler() {
    static std::function<void()> handler;
    return handler;
}
}  // namespace

void QuitProgram(int exitCode) {
    Trace("ByeByeInstall 1");
    ::PostQuitMessage(exitCode);
}

void SetAbortProgramHandler(std::function<void()> handler) { Handler() = std::move(handler); }

void AbortProgram() {
    if (Handler()) {
        Handler()();
        return;
    }
    QuitProgram();
    HANDLE self = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, ::GetCurrentProcessId());
    if (self == nullptr) self = ::GetCurrentProcess();
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(self, &code);
    ::TerminateProcess(self, code);
}
