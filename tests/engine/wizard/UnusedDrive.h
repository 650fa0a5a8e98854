#pragma once
#include <windows.h>

#include <string>

// "X:\" for a drive letter the machine does not have (Wine offers C: and Z:).
inline std::string UnusedDriveRoot() {
    DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Y'; ++letter)
        if ((drives & (1u << (letter - 'A'))) == 0) return std::string(1, letter) + ":\\";
    return {};
}
