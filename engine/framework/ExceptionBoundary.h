#pragma once
#include <windows.h>

// No exception may cross the platform's frames: a window procedure, a thread's
// entry, a callback the system makes, the program's entry. There an exception
// ends the one action that raised it, and the program says so through its
// message box seam (a silent run writes it to its removal log instead).

// Reports the exception being handled; call it only inside a catch block. While
// one report is showing, others are not shown again.
void ReportCurrentException() noexcept;

// Runs body; an exception it raises is reported and `failed` returned instead.
template <class Result, class Body>
Result Guarded(Result failed, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        ReportCurrentException();
        return failed;
    }
}
