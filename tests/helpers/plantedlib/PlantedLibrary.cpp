// A library planted under a system library's name (built as RICHED20.DLL, copied
// under others) for tests: when a process loads it, it leaves
// "planted-library-loaded" beside itself.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(instance, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\') --length;
    ::lstrcpynA(path + length, "planted-library-loaded", MAX_PATH - static_cast<int>(length));
    HANDLE marker = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
    return TRUE;
}
