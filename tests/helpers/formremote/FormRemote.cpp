#include "FormRemote.h"

#include <commctrl.h>

namespace FormRemote {
namespace {
constexpr size_t kLent = 64 * 1024;  // memory lent in the other process
constexpr size_t kTextOffset = 4096;  // where texts go in it
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

struct Search {
    DWORD processId;
    const wchar_t* className;
    HWND other;
    HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || hwnd == search->other || !::IsWindowVisible(hwnd)) return TRUE;
    if (ClassOf(hwnd) != search->className) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindTop(DWORD processId, const wchar_t* className, HWND other) {
    Search search{processId, className, other, nullptr};
    ::EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > timeoutMs) return condition();
        ::Sleep(10);
    }
    return true;
}

HWND FindTopWindow(DWORD processId, const wchar_t* className) { return FindTop(processId, className, nullptr); }

HWND WaitForTopWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTop(processId, className, nullptr)) != nullptr; }, timeoutMs);
    // Ready for input once its thread answers: it has shown the window and waits.
    DWORD_PTR answer = 0;
    if (found != nullptr && !::SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer))
        return nullptr;
    return found;
}

HWND WaitForDialog(DWORD processId, DWORD timeoutMs, HWND other) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTop(processId, L"#32770", other)) != nullptr; }, timeoutMs);
    return found;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window) {
    // WM_GETTEXT reaches another process's window with its text copied over.
    std::wstring text(32768, L'\0');
    LRESULT length = ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

RECT RectInParent(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND FindControl(HWND parent, const wchar_t* className, int left, int top) {
    for (HWND child : Children(parent)) {
        RECT rect = RectInParent(child);
        if (rect.left == left && rect.top == top && ClassOf(child) == className) return child;
    }
    return nullptr;
}

HWND FindControlByText(HWND parent, const wchar_t* className, const std::wstring& text) {
    for (HWND child : Children(parent))
        if (ClassOf(child) == className && TextOf(child) == text) return child;
    return nullptr;
}

bool Click(HWND window, int x, int y, bool control) {
    RECT client{};
    ::GetClientRect(window, &client);
    POINT point{x >= 0 ? x : client.right / 2, y >= 0 ? y : client.bottom / 2};
    ::ClientToScreen(window, &point);
    // Each mouse event carries the point itself: a pointer only moved beforehand
    // can be moved back by a late motion report of the display.
    const LONG absoluteX = ::MulDiv(point.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    const LONG absoluteY = ::MulDiv(point.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    INPUT inputs[5]{};
    UINT count = 0;
    auto mouse = [&](DWORD flags) {
        inputs[count].type = INPUT_MOUSE;
        inputs[count].mi.dx = absoluteX;
        inputs[count].mi.dy = absoluteY;
        inputs[count++].mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    };
    auto key = [&](DWORD flags) {
        inputs[count].type = INPUT_KEYBOARD;
        inputs[count].ki.wVk = VK_CONTROL;
        inputs[count++].ki.dwFlags = flags;
    };
    mouse(0);
    if (control) key(0);
    mouse(MOUSEEVENTF_LEFTDOWN);
    mouse(MOUSEEVENTF_LEFTUP);
    if (control) key(KEYEVENTF_KEYUP);
    return ::SendInput(count, inputs, sizeof(INPUT)) == count;
}

namespace {
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED
HWND g_announcer = nullptr;                    // the label whose announcement is awaited
bool g_announced = false;

void CALLBACK NoteAnnouncement(HWINEVENTHOOK, DWORD, HWND hwnd, LONG, LONG, DWORD, DWORD) {
    g_announced = g_announced || hwnd == g_announcer;
}
}  // namespace

bool ClickAndWait(HWND button, HWND status, DWORD timeoutMs) {
    // The label announces every result, the same text again included, so an
    // action too short to be seen running is still seen ending. The events come
    // through this thread's queue, hence the pumping.
    DWORD processId = 0;
    ::GetWindowThreadProcessId(status, &processId);
    HWINEVENTHOOK hook = ::SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr, NoteAnnouncement,
                                           processId, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) return false;
    g_announcer = status;
    g_announced = false;
    bool ended = Click(button);
    const DWORD start = ::GetTickCount();
    while (ended && !g_announced) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        if (g_announced) break;
        if (::GetTickCount() - start > timeoutMs) ended = false;
        else ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    ::UnhookWinEvent(hook);
    g_announcer = nullptr;
    return ended && WaitUntil([&] { return ::IsWindowEnabled(button) != FALSE; }, timeoutMs);
}

void PressButton(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool AnswerFileDialog(DWORD processId, HWND dialog, const std::wstring& name, DWORD timeoutMs) {
    // The dialog is usable once its name box exists.
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = ::GetDlgItem(dialog, kFileNameCombo)) != nullptr ||
                                (box = ::GetDlgItem(dialog, kFileNameEdit)) != nullptr; },
                   timeoutMs))
        return false;
    // A dialog still filling itself in may drop a name typed too early: the name
    // is typed again while the dialog stays without an answer.
    DWORD typed = 0;
    return WaitUntil(
        [&] {
            if (!::IsWindow(dialog)) return true;
            // A question about replacing a file comes as a message box owned by the dialog.
            HWND question = WaitForDialog(processId, 0, dialog);
            if (question != nullptr && ::GetWindow(question, GW_OWNER) == dialog) {
                if (::GetDlgItem(question, IDYES)) PressButton(question, IDYES);
            } else if (::GetTickCount() - typed > 2000) {
                ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
                PressButton(dialog, IDOK);
                typed = ::GetTickCount();
            }
            return false;
        },
        timeoutMs);
}

bool ClickAndAnswerFileDialog(DWORD processId, HWND button, const std::wstring& name, DWORD timeoutMs) {
    if (button == nullptr || !Click(button)) return false;
    HWND dialog = WaitForDialog(processId, 10000);
    if (dialog == nullptr || !AnswerFileDialog(processId, dialog, name)) return false;
    return WaitUntil([&] { return ::IsWindowEnabled(button) != FALSE; }, timeoutMs);
}

ListView::ListView(HWND listView) : m_list(listView) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(listView, &processId);
    m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (m_process != nullptr)
        m_remote = static_cast<BYTE*>(::VirtualAllocEx(m_process, nullptr, kLent, MEM_COMMIT, PAGE_READWRITE));
}

ListView::~ListView() {
    if (m_remote != nullptr) ::VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
    if (m_process != nullptr) ::CloseHandle(m_process);
}

int ListView::ColumnCount() const {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(m_list, LVM_GETHEADER, 0, 0));
    return static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

ListView::Column ListView::GetColumn(int index) const {
    Column result;
    if (m_remote == nullptr) return result;
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = reinterpret_cast<wchar_t*>(m_remote + kTextOffset);
    column.cchTextMax = 256;
    ::WriteProcessMemory(m_process, m_remote, &column, sizeof column, nullptr);
    if (!::SendMessageW(m_list, LVM_GETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(m_remote)))
        return result;
    wchar_t text[256] = {};
    ::ReadProcessMemory(m_process, m_remote, &column, sizeof column, nullptr);
    ::ReadProcessMemory(m_process, m_remote + kTextOffset, text, sizeof text - sizeof(wchar_t), nullptr);
    result.text = text;
    result.width = column.cx;
    result.format = column.fmt & LVCFMT_JUSTIFYMASK;
    return result;
}

int ListView::ItemCount() const { return static_cast<int>(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ListView::CellText(int row, int column) const {
    if (m_remote == nullptr) return {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(m_remote + kTextOffset);
    item.cchTextMax = static_cast<int>((kLent - kTextOffset) / sizeof(wchar_t));
    ::WriteProcessMemory(m_process, m_remote, &item, sizeof item, nullptr);
    LRESULT length =
        ::SendMessageW(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(m_remote));
    std::wstring text(static_cast<size_t>(length), L'\0');
    if (length > 0) ::ReadProcessMemory(m_process, m_remote + kTextOffset, text.data(), text.size() * 2, nullptr);
    return text;
}

std::vector<int> ListView::SelectedRows() const {
    std::vector<int> rows;
    for (int row = -1; (row = static_cast<int>(::SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                              LVNI_SELECTED))) >= 0;)
        rows.push_back(row);
    return rows;
}

RECT ListView::RowRect(int row) const {
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    if (m_remote == nullptr) return {};
    ::WriteProcessMemory(m_process, m_remote, &rect, sizeof rect, nullptr);
    ::SendMessageW(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(m_remote));
    ::ReadProcessMemory(m_process, m_remote, &rect, sizeof rect, nullptr);
    return rect;
}

}  // namespace FormRemote
