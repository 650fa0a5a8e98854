#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Another process's windows as a screen reader and a keyboard user meet them:
// the accessible objects the platform serves (MSAA, AccessibleObjectFromWindow),
// the focus after each key pressed as a user presses it, and the events the
// program raises for assistive technology.
namespace AssistiveView {

struct Node {
    HWND hwnd = nullptr;
    bool hasName = false;
    std::wstring name;
    long role = 0;
};

// The window's client object (or another of its objects) as a client of another process reads it.
Node Read(HWND window, LONG object = OBJID_CLIENT);
// The window children of the window's client object, each read as its own client object.
std::vector<Node> ReadChildren(HWND window);

// The window that has the keyboard focus in the thread of `window`.
HWND FocusOf(HWND window);
// Brings the window's top-level window to the front and presses the key (with
// Shift held when asked) through the system's input; then waits until the
// focus of its thread is `expected` (when given), and returns the focus then.
HWND PressKey(HWND window, WORD key, bool shift = false, HWND expected = nullptr, DWORD timeoutMs = 10000);

// Events of one kind raised by another process (0: any), counted per window
// while this thread waits.
class EventCounter {
public:
    EventCounter(DWORD processId, DWORD event);
    ~EventCounter();
    EventCounter(const EventCounter&) = delete;
    EventCounter& operator=(const EventCounter&) = delete;

    // Dispatches this thread's messages until the window raised `count` events in all.
    bool WaitFor(HWND window, int count, DWORD timeoutMs = 10000);

private:
    static void CALLBACK Receive(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object, LONG child, DWORD thread,
                                 DWORD time);
    HWINEVENTHOOK m_hook;
};

}  // namespace AssistiveView
