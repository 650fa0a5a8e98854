#pragma once
#include <windows.h>

// Wine now and then fails to start a program that is there (about once in a
// thousand starts, seen on fresh set-ups); a start refused for any other reason
// than a missing file is made once more, so a test fails for what it tests.
template <class Start>
BOOL StartProcessRetryingOnce(Start start) {
    if (start()) return TRUE;
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return FALSE;
    return start();
}
