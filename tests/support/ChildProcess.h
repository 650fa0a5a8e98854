#pragma once
#include <windows.h>

#include <optional>
#include <string>

// A program started by a test. It is terminated when the object goes, so a test
// that fails half-way never leaves it behind.
class ChildProcess {
public:
    // With `outputFile`, the program's standard output and error go into that file.
    ChildProcess(const std::string& program, const std::string& arguments, const std::string& directory = {},
                 const std::string& outputFile = {});
    // The same with UTF-16 texts, for paths the system's code page lacks.
    ChildProcess(const std::wstring& program, const std::wstring& arguments, const std::wstring& directory = {},
                 const std::wstring& outputFile = {});
    HANDLE Handle() const { return m_process; }
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_process != nullptr; }
    DWORD Id() const { return m_id; }
    // The exit code, or nothing when the program is still running after timeoutMs.
    std::optional<DWORD> Wait(DWORD timeoutMs);
    bool Running() const;
    void Terminate();
    // A visible or hidden top-level window of this process with the class name.
    HWND WaitForWindow(const char* className, DWORD timeoutMs) const;

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
};

// A top-level window of a process with the given class name and, when one is
// given, the given title.
HWND FindProcessWindow(DWORD processId, const char* className, const char* title = nullptr);
