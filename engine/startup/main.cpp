#include <windows.h>

#include "../framework/LibraryLoading.h"
#include "NorvaneSetupApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a library by name. The libraries the program imports
    // are loaded before this, and all come from where the system keeps them
    // whatever the search path: its known libraries, and the common controls its
    // manifest names. Keep it so (no import of userenv, version, uxtheme...).
    RestrictLibrarySearchToSystem();
    CNorvaneSetupApp app;
    return app.Main(instance);
}
