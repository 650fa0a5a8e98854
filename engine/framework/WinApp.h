#pragma once
#include <windows.h>

class CWnd;

// The application object: one per process. WinMain hands control to Main, which
// runs InitInstance and, when that succeeds, the message loop until WM_QUIT.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() = 0;
    virtual int Run();
    int Main(HINSTANCE instance);

    // OLE (pictures, controls) needs the thread's OLE libraries initialised.
    void EnableControlContainer();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    // Default title of the application's message boxes (string resource 0xE000).
    char m_appTitle[256] = "norvexec";

private:
    bool m_oleInitialised = false;
};

CWinApp* TheApp();
