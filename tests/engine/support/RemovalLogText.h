#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The system's text for an error, as the removal log gives it.
std::string SystemText(DWORD error);
// The lines of a removal log, without its byte-order mark and line ends.
std::vector<std::string> RemovalLogLines(const std::string& text);
