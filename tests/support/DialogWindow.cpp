#include "DialogWindow.h"

#include "ChildProcess.h"

DialogWindow DialogWindow::WaitFor(const ChildProcess& process, DWORD timeoutMs) {
    // A dialog is found as soon as it exists; it is ready once it is shown.
    DWORD start = ::GetTickCount();
    HWND hwnd = process.WaitForWindow("#32770", timeoutMs);
    while (hwnd != nullptr && !::IsWindowVisible(hwnd) && ::GetTickCount() - start < timeoutMs) ::Sleep(20);
    return DialogWindow(hwnd != nullptr && ::IsWindowVisible(hwnd) ? hwnd : nullptr);
}

std::string DialogWindow::Caption() const {
    char text[1024] = {};
    ::GetWindowTextA(m_hwnd, text, sizeof text);
    return text;
}

std::string DialogWindow::ItemText(int id) const {
    char text[4096] = {};
    ::GetDlgItemTextA(m_hwnd, id, text, sizeof text);
    return text;
}

bool DialogWindow::HasIcon(LPCSTR iconId) const {
    // Message boxes hold their icon in a static control; Windows and Wine differ in its id.
    const HICON expected = iconId != nullptr ? ::LoadIconA(nullptr, iconId) : nullptr;
    for (int id : {0x14, 0x440})
        if (HWND icon = ::GetDlgItem(m_hwnd, id)) {
            const auto shown = reinterpret_cast<HICON>(::SendMessageA(icon, STM_GETICON, 0, 0));
            if (shown != nullptr && ::IsWindowVisible(icon) && (expected == nullptr || shown == expected)) return true;
        }
    return false;
}

void DialogWindow::Press(int id) const {
    ::PostMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(m_hwnd, id)));
}

bool DialogWindow::WaitClosed(DWORD timeoutMs) const {
    DWORD start = ::GetTickCount();
    while (::IsWindow(m_hwnd)) {
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(20);
    }
    return true;
}
