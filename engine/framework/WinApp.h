#pragma once
#include <windows.h>

class CWnd;

// The application object: one per process. WinMain hands control to Main, which
// runs InitInstance and, when that succeeds, the message loop until WM_QUIT;
// then ExitInstance, whose result is the process's exit code. An exception that
// reaches Main is reported and ends the program.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() = 0;
    virtual int Run();
    // Called once as the program ends, also when it ends itself at once
    // (AbortProgram); returns the exit code, m_exitCode unless overridden.
    virtual int ExitInstance();
    int Main(HINSTANCE instance);

    // OLE (pictures, controls) needs the thread's OLE libraries initialised.
    void EnableControlContainer();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    // Default title of the application's message boxes (string resource 0xE000).
    char m_appTitle[256] = "norvexec";
    // The exit code: set by InitInstance before it fails, else the quit message's.
    int m_exitCode = 0;
    // The program's end by an exception that reached Main: the code of a run that failed.
    static constexpr int kExitAfterException = ERROR_INSTALL_FAILURE;

private:
    bool m_oleInitialised = false;
};

CWinApp* TheApp();
// The application's main window, null before it has one (or without an application).
HWND MainWindowHandle();
// The title of the application's message boxes, "" without an application.
const char* AppTitle();
