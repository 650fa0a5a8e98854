#include "ChildProcess.h"

#include <vector>

#include "ProcessStart.h"

namespace {
std::wstring FromCodePage(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), static_cast<int>(wide.size()))));
    return wide;
}
}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::string& arguments, const std::string& directory,
                           const std::string& outputFile)
    : ChildProcess(FromCodePage(program), FromCodePage(arguments), FromCodePage(directory), FromCodePage(outputFile)) {}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments, const std::wstring& directory,
                           const std::wstring& outputFile) {
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!outputFile.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        output = ::CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE) return;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    PROCESS_INFORMATION info{};
    const bool started = StartProcessRetryingOnce([&] {
        return ::CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, output != INVALID_HANDLE_VALUE, 0,
                                nullptr, directory.empty() ? nullptr : directory.c_str(), &startup, &info);
    });
    if (started) {
        ::CloseHandle(info.hThread);
        m_process = info.hProcess;
        m_id = info.dwProcessId;
    }
    if (output != INVALID_HANDLE_VALUE) ::CloseHandle(output);
}

ChildProcess::~ChildProcess() {
    if (m_process == nullptr) return;
    if (Running()) {
        ::TerminateProcess(m_process, 99);
        ::WaitForSingleObject(m_process, 5000);
    }
    ::CloseHandle(m_process);
}

bool ChildProcess::Running() const {
    return m_process != nullptr && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

void ChildProcess::Terminate() {
    if (Running()) {
        ::TerminateProcess(m_process, 99);
        ::WaitForSingleObject(m_process, 5000);
    }
}

std::optional<DWORD> ChildProcess::Wait(DWORD timeoutMs) {
    if (m_process == nullptr || ::WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process, &code);
    return code;
}

namespace {
struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId) return TRUE;
    char name[256] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpA(name, search->className) != 0) return TRUE;
    if (search->title != nullptr) {
        char title[256] = {};
        ::GetWindowTextA(hwnd, title, sizeof title);
        if (lstrcmpA(title, search->title) != 0) return TRUE;
    }
    search->found = hwnd;
    return FALSE;
}
}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className, const char* title) {
    WindowSearch search{processId, className, title, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ChildProcess::WaitForWindow(const char* className, DWORD timeoutMs) const {
    DWORD start = ::GetTickCount();
    do {
        if (HWND hwnd = FindProcessWindow(m_id, className)) return hwnd;
        if (!Running()) return FindProcessWindow(m_id, className);
        ::Sleep(20);
    } while (::GetTickCount() - start < timeoutMs);
    return nullptr;
}
