#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "Form1.h"
#include "framework/Application.h"

namespace {
// COM on the window's thread: the annotation service for assistive technology
// (and the shell's parts of the file dialogs) live in its apartment.
class TComApartment {
public:
    TComApartment() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~TComApartment() {
        if (SUCCEEDED(m_result)) ::CoUninitialize();
    }
    TComApartment(const TComApartment&) = delete;
    TComApartment& operator=(const TComApartment&) = delete;

private:
    HRESULT m_result;
};
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    // It ends with the program, after the thread's annotation service has gone.
    static TComApartment com;
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
