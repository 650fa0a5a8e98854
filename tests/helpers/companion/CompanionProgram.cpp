// Companion program for tests: appends its whole command line, one line per
// start, to "companion-program.log" beside itself. Started by an uninstall log
// (RUN3RD/RUN3RDCMD) or as the handler of a link.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char module[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string log = module;
    log = log.substr(0, log.rfind('\\') + 1) + "companion-program.log";
    if (FILE* out = std::fopen(log.c_str(), "ab")) {
        std::fprintf(out, "%s\n", ::GetCommandLineA());
        std::fclose(out);
    }
    return 0;
}
