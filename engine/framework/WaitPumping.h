#pragma once
#include <windows.h>

// Waits for the handle while dispatching the thread's messages, so that windows
// of this thread stay painted and synchronous sends from other threads complete.
// True once the handle is signalled, false when the wait itself fails. A quit
// message taken off the queue here is dropped.
bool WaitPumping(HANDLE handle);
// Waits for the handle while delivering only the messages other threads send
// to this thread's windows, so that a thread reporting to them is not held
// up; nothing posted runs meanwhile (no timer, click or paint).
bool WaitTakingSentMessages(HANDLE handle);
