#include "LibraryLoading.h"

void RestrictLibrarySearchToSystem() {
    // Looked up rather than imported: an import the system lacks would keep the
    // program from starting at all.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories"));
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    ::SetDllDirectoryA("");
}

HMODULE LoadSystemLibrary(const char* name) { return ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32); }

HMODULE LoadLibraryWithItsFolder(const std::string& fullPath) {
    return ::LoadLibraryExA(fullPath.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}
