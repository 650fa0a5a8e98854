#pragma once
#include <functional>

// Traces "ByeByeInstall 1" and posts the quit message (exit code 0 unless told).
void QuitProgram(int exitCode = 0);

// Ends the program at once with the exit code of a still-running process (259):
// the quit message is posted the ordinary way, the application's ExitInstance
// runs, then the process terminates itself, so the removal never goes on and no
// window is taken down one by one.
void AbortProgram();

// The same end at once with the exit code given, for an end that cannot wait
// for the message loop (the session's: the system ends the process itself).
void EndProgramNow(int exitCode);

// Replaces both endings, for code that shows pages inside a process that must go
// on (tests, previews); an empty handler restores it.
void SetAbortProgramHandler(std::function<void()> handler);
