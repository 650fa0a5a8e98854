#pragma once
#include <windows.h>

#include <functional>

// Every message box of the program goes through here, so that tests running the
// code in-process can answer it without a window.
int AppMessageBox(HWND owner, const char* text, const char* caption, UINT type);
// Owned by the main window (if any), captioned with the application's title.
int AppMessageBox(const char* text, UINT type = MB_OK);

using MessageBoxHandler = std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;
// Replaces the platform's message box; an empty handler restores it.
void SetMessageBoxHandler(MessageBoxHandler handler);
