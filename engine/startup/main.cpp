#include <windows.h>

#include "NorvaneSetupApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CNorvaneSetupApp app;
    return app.Main(instance);
}
