#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "Form1.h"
#include "framework/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    TApplication& application = Application();
    application.Title = L"doziruzidive";
    return application.Guarded(1, [&application] {
        // Without the archive library the window cannot exist: its constructor says so.
        auto form = std::make_unique<TForm1>(nullptr);
        application.Run(*form);
        return 0;
    });
}
