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
    std::unique_ptr<TForm1> form;
    try {
        form = std::make_unique<TForm1>(nullptr);
    } catch (const Exception& error) {
        // Without the archive library the window cannot exist.
        application.ShowException(error.Message());
        return 1;
    }
    application.Run(*form);
    return 0;
}
