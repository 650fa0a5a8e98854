#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// Holds the end of the session back for as long as it lives: every top-level
// window of the program answers WM_QUERYENDSESSION with FALSE, and the owner
// window gives the system the reason it shows the user (ShutdownBlockReasonCreate).
// When the session ends anyway (WM_ENDSESSION with TRUE) `ended` runs on the
// thread of the window told; the system ends the process once that returns, so
// `ended` brings the program to its end itself. Made and destroyed on the
// interface thread; without a hold every window answers as the platform does.
class SessionEndHold {
public:
    SessionEndHold(HWND owner, const std::wstring& reason, std::function<void()> ended);
    ~SessionEndHold();
    SessionEndHold(const SessionEndHold&) = delete;
    SessionEndHold& operator=(const SessionEndHold&) = delete;

private:
    friend bool AnswerSessionEnd(UINT message, WPARAM wParam, LRESULT* result);

    HWND m_owner;
    std::function<void()> m_ended;
    SessionEndHold* m_outer;
};

// A top-level window's answer to WM_QUERYENDSESSION or WM_ENDSESSION while a
// hold lives: true with the answer in result; false leaves the message to the
// window. Every window of the program's own classes asks it.
bool AnswerSessionEnd(UINT message, WPARAM wParam, LRESULT* result);

// Replaces the platform's ShutdownBlockReasonCreate (called with the reason)
// and ShutdownBlockReasonDestroy (without one), for tests that watch them:
// Wine stubs both and cannot be asked. An empty handler restores them.
using BlockReasonHandler = std::function<void(HWND owner, const std::optional<std::wstring>& reason)>;
void SetBlockReasonHandler(BlockReasonHandler handler);
