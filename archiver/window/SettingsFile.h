#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "SettingsRecord.h"

// Reads the first record of a settings file; 0, or the platform's error code
// (ERROR_HANDLE_EOF for a file shorter than one record). The file is only read:
// a read-only settings file serves as well as any.
DWORD ReadSettingsFile(const std::wstring& path, TSettingsRecord& record);

// The entry's text in UTF-16, from the system's 8-bit code page. A path holds no
// NUL: the text ends at the first one.
std::wstring SettingsEntryText(const std::string& entry);

// The entries to archive (1 to 50) as the window lists and packs them, in order:
// each one's text, and none for an entry that is empty or blank once read.
std::vector<std::wstring> ItemEntries(const TSettingsRecord& record);
