#pragma once
#include <windows.h>

#include <string>

// The engine runs elevated: a library of a well-known name planted beside the
// program or in the current folder (Downloads, a share) must never be loaded
// into it. Libraries come from the system folder, or by full path. (Windows 7
// before update KB2533623 knows none of the search flags: there the loads below
// fail, which is the safe way to fail.)

// Makes the system folder the process's only default library search path.
// Called first in WinMain, before anything loads a library by name. Systems
// without the call at least lose the current folder.
void RestrictLibrarySearchToSystem();

// A library of the system, from the system folder only.
HMODULE LoadSystemLibrary(const char* name);

// A library by its full path; its own dependencies come from its folder and
// the system folder.
HMODULE LoadLibraryWithItsFolder(const std::string& fullPath);
