#include <windows.h>

#include "../framework/LibraryLoading.h"
#include "NorvaneSetupApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a library by name. The libraries the program imports
    // are all ones the system loads from its own folder whatever the search path.
    RestrictLibrarySearchToSystem();
    CNorvaneSetupApp app;
    return app.Main(instance);
}
