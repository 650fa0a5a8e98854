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

// Holds the removal at this step for a test that acts on the page while the run
// is known to be going: "companion-held" appears beside the library when the step
// is reached, and the step ends once "companion-release" is there (after a
// minute at most, so that a failed test leaves no run stuck).
extern "C" __declspec(dllexport) void WINAPI HoldRemoval(char*) {
    char module[MAX_PATH] = {};
    ::GetModuleFileNameA(g_module, module, MAX_PATH);
    std::string folder = module;
    folder = folder.substr(0, folder.rfind('\\') + 1);
    if (FILE* held = std::fopen((folder + "companion-held").c_str(), "wb")) std::fclose(held);
    const std::string release = folder + "companion-release";
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 60000; ::Sleep(20))
        if (::GetFileAttributesA(release.c_str()) != INVALID_FILE_ATTRIBUTES) break;
}
