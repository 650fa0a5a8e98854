#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Drives the window of another process as a user or an automation tool does: finds
// its controls, reads them through the window API, clicks with the mouse, answers
// its file dialogs by typing a name and reads its list view.
// Shared by the window's tests, its demo and its benchmark.
namespace FormRemote {

// Polls the condition until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A visible top-level window of the process with the class name, or null.
HWND FindTopWindow(DWORD processId, const wchar_t* className);
// The same, once shown and its thread is waiting for input.
HWND WaitForTopWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs);
// A shown dialog ("#32770") of the process other than `other`.
HWND WaitForDialog(DWORD processId, DWORD timeoutMs, HWND other = nullptr);

// The direct children of a window, in their order (the tab order).
std::vector<HWND> Children(HWND parent);
std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
// In the parent's client coordinates.
RECT RectInParent(HWND control);
// The child of that class whose top-left corner lies at the point of the parent.
HWND FindControl(HWND parent, const wchar_t* className, int left, int top);
// The child of that class with that text.
HWND FindControlByText(HWND parent, const wchar_t* className, const std::wstring& text);

// A left click at a point of the window's client area (its centre by default),
// through the system's input queue; with `control` the Ctrl key is held.
bool Click(HWND window, int x = -1, int y = -1, bool control = false);

// Clicks a button whose action ends by announcing its result on the status label
// (a live region), and waits until the action is over: the announcement came and
// the button, disabled while the action runs, is enabled again.
bool ClickAndWait(HWND button, HWND status, DWORD timeoutMs);

// Types the name into a file dialog and confirms; a question whether to replace
// an existing file is answered Yes. True once the dialog has closed.
bool AnswerFileDialog(DWORD processId, HWND dialog, const std::wstring& name, DWORD timeoutMs = 10000);
// Clicks a button whose action asks for a file, types the name into the dialog
// and waits until the action is over (the button, disabled while it runs, is
// enabled again).
bool ClickAndAnswerFileDialog(DWORD processId, HWND button, const std::wstring& name, DWORD timeoutMs);
// Presses a dialog's button as a click would.
void PressButton(HWND dialog, int id);

// A list view of another process, read through memory lent in that process.
class ListView {
public:
    explicit ListView(HWND listView);
    ~ListView();
    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;

    struct Column {
        std::wstring text;
        int width = 0;
        int format = 0;  // LVCFMT_LEFT, LVCFMT_RIGHT...
    };
    int ColumnCount() const;
    Column GetColumn(int index) const;
    int ItemCount() const;
    std::wstring CellText(int row, int column) const;
    std::vector<int> SelectedRows() const;
    // The row's rectangle in the list's client coordinates.
    RECT RowRect(int row) const;

private:
    HWND m_list;
    HANDLE m_process = nullptr;
    BYTE* m_remote = nullptr;  // lent memory in the list's process
};

}  // namespace FormRemote
