#pragma once
#include <string>

// What an uninstall run needs of the page window the user watches. The run calls
// these from its worker thread; a page acts on them only through synchronous
// window messages and window texts, which the interface thread keeps serving
// while it waits for the worker.
class UninstallPage {
public:
    enum StatusTarget { kInfoText = 0, kStatic1Text = 1 };

    virtual ~UninstallPage() = default;
    // Puts the text, tokens expanded, into the "IDC_INFO" or "IDC_STATIC1" control.
    virtual void ShowStatusText(const std::string& text, StatusTarget target) = 0;
    virtual void SetProgressRange(int total) = 0;
    virtual void SetProgressPosition(int position) = 0;
    // Makes the "IDCANCEL" control usable again.
    virtual void EnableCancel() = 0;
    // The completed state: the program ends when the user closes the page.
    virtual void ShowCompletion() = 0;
};
