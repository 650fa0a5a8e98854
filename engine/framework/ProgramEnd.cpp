#include "ProgramEnd.h"

#include <windows.h>

#include "Trace.h"
#include "WinApp.h"

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

namespace {
void EndWith(HANDLE self, DWORD code) {
    QuitProgram();
    // The application's last words (a log's exit code line) come before the end.
    if (CWinApp* app = TheApp()) {
        app->m_exitCode = static_cast<int>(code);
        code = static_cast<DWORD>(app->ExitInstance());
    }
    ::TerminateProcess(self, code);
}
}  // namespace

void AbortProgram() {
    if (Handler()) {
        Handler()();
        return;
    }
    HANDLE self = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, ::GetCurrentProcessId());
    if (self == nullptr) self = ::GetCurrentProcess();
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(self, &code);
    EndWith(self, code);
}

void EndProgramNow(int exitCode) {
    if (Handler()) {
        Handler()();
        return;
    }
    EndWith(::GetCurrentProcess(), static_cast<DWORD>(exitCode));
}
