#pragma once
#include <windows.h>

#include <memory>

struct AccessibleFacts;

// Owns one window handle. Messages for the handle reach the object's WindowProc;
// what a class does not handle goes to the window's previous procedure.
class CWnd {
public:
    CWnd();
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
    // Repaints the window and, unless it clips them, its children.
    void Invalidate() const { ::InvalidateRect(m_hWnd, nullptr, TRUE); }
    void SetFont(HFONT font, BOOL redraw = TRUE) const {
        ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    // Style changes; with swpFlags (SWP_FRAMECHANGED) the frame is recalculated.
    void ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const { ModifyLong(GWL_STYLE, remove, add, swpFlags); }
    void ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0) const {
        ModifyLong(GWL_EXSTYLE, remove, add, swpFlags);
    }
    BOOL EnableWindow(BOOL enable) const { return ::EnableWindow(m_hWnd, enable); }
    void SetWindowText(const char* text) const { ::SetWindowTextA(m_hWnd, text); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }

    // The object bound to a handle by CreateEx or SubclassWindow, or null.
    static CWnd* FromHandle(HWND hwnd);
    // Registers a plain window class once per process; later calls are no-ops.
    static bool RegisterWindowClass(const char* className, UINT classStyle, HICON icon, HBRUSH background);

    // Keyboard handling before a message is dispatched: offered to the objects of
    // the message's window and its parents, innermost first. True when one of
    // them consumed it. Every message loop of the program calls this.
    static bool WalkPreTranslateTree(MSG* msg);
    virtual bool PreTranslateMessage(MSG* msg) { return false; }

    // A parent's colour, drawing and notification messages about this control,
    // handed to the control's own object first. True when handled, with the
    // answer in result; otherwise the parent's handling goes on.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) { return false; }

    // What assistive technology is told of the window beyond its text and
    // class (Annotation, Accessible.h); made at the first use.
    AccessibleFacts& Accessible();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Last message of the window's life: the handle is gone afterwards.
    virtual void OnNcDestroy() {}

private:
    // Every message of every window of the program passes here: no exception leaves it.
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Dispatch(CWnd* object, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void ModifyLong(int index, DWORD remove, DWORD add, UINT swpFlags) const;
    void Attach(HWND hwnd);
    void Detach();

    WNDPROC m_previousProc = nullptr;
    std::unique_ptr<AccessibleFacts> m_accessible;
};

// Binds the next window created on this thread to the object, for windows whose
// creation call is not CreateWindowEx (a dialog from a template, for instance).
class CreationScope {
public:
    explicit CreationScope(CWnd* object);
    ~CreationScope();
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

private:
    CWnd* m_previousObject;
    HHOOK m_previousHook;
};
