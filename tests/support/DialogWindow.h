#pragma once
#include <windows.h>

#include <string>

class ChildProcess;

// A dialog of another process (a message box, a file dialog), read and answered
// through the window API.
class DialogWindow {
public:
    explicit DialogWindow(HWND hwnd = nullptr) : m_hwnd(hwnd) {}
    // The first dialog ("#32770") that the process shows within timeoutMs.
    static DialogWindow WaitFor(const ChildProcess& process, DWORD timeoutMs = 10000);

    explicit operator bool() const { return m_hwnd != nullptr; }
    HWND Handle() const { return m_hwnd; }
    std::string Caption() const;
    // A message box's text is its static control 0xFFFF.
    std::string Text() const { return ItemText(0xFFFF); }
    std::string ItemText(int id) const;
    bool HasItem(int id) const { return ::GetDlgItem(m_hwnd, id) != nullptr; }
    // Shows an icon; with `iconId`, that system icon (IDI_EXCLAMATION...).
    bool HasIcon(LPCSTR iconId = nullptr) const;
    // Posts the button's command, as a click would.
    void Press(int id) const;
    // Waits until the window is gone.
    bool WaitClosed(DWORD timeoutMs = 5000) const;

private:
    HWND m_hwnd;
};
