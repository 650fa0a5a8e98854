#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    ::MessageBoxW(nullptr, L"Doziruzidive", L"Doziruzidive", MB_OK);
    return 0;
}
