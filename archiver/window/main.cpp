#include <windows.h>

#include "archive/SevenZip.h"
#include "framework/Exception.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    // The window comes later; the archive library is bound at start-up already,
    // and a missing one ends the program with its message.
    try {
        TSevenZip SevenZip1(nullptr);
        ::MessageBoxW(nullptr, L"Doziruzidive", L"Doziruzidive", MB_OK);
    } catch (const Exception& error) {
        ::MessageBoxA(nullptr, error.Message().c_str(), "Doziruzidive", MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}
