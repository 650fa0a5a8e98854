#pragma once
#include <windows.h>

// Owns one window handle. Messages for the handle reach the object's WindowProc;
// what a class does not handle goes to the window's previous procedure.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menuOrId);
    // Takes over a window made elsewhere (a control of a dialog, for instance).
    BOOL SubclassWindow(HWND hwnd);
    BOOL DestroyWindow();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
    BOOL EnableWindow(BOOL enable) const { return ::EnableWindow(m_hWnd, enable); }
    void SetWindowText(const char* text) const { ::SetWindowTextA(m_hWnd, text); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }

    // The object bound to a handle by CreateEx or SubclassWindow, or null.
    static CWnd* FromHandle(HWND hwnd);
    // Registers a plain window class once per process; later calls are no-ops.
    static bool RegisterWindowClass(const char* className, UINT classStyle, HICON icon, HBRUSH background);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Last message of the window's life: the handle is gone afterwards.
    virtual void OnNcDestroy() {}

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);
    void Detach();

    WNDPROC m_previousProc = nullptr;
};
