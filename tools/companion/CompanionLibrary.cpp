// Companion library for tests: its entry point appends the text it is called with,
// one line per call, to "companion-library.log" beside the library.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
HMODULE g_module = nullptr;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) void WINAPI RemoveCompanionData(char* path) {
    char module[MAX_PATH] = {};
    ::GetModuleFileNameA(g_module, module, MAX_PATH);
    std::string log = module;
    log = log.substr(0, log.rfind('\\') + 1) + "companion-library.log";
    if (FILE* out = std::fopen(log.c_str(), "ab")) {
        std::fprintf(out, "%s\n", path);
        std::fclose(out);
    }
}
