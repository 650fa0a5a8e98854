#include "InputControls.h"

#include "../framework/LibraryLoading.h"

bool PrepareCommonControls() {
    static const bool prepared = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES};
        return ::InitCommonControlsEx(&classes) != FALSE;
    }();
    return prepared;
}

bool PrepareRichEdit() {
    // Loaded for the life of the process: its window class must outlive every page.
    static const bool prepared = LoadSystemLibrary("RICHED20.DLL") != nullptr;
    return prepared;
}
