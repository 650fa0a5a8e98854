#pragma once
#include <windows.h>

#include <any>
#include <map>
#include <string>
#include <utility>

#include "Control.h"
#include "Event.h"
#include "Exception.h"
#include "Set.h"

using TNotifyEvent = TEvent<TObject*>;

enum class TBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize };
using TBorderIcons = TSet<TBorderIcon>;

// A top-level window with a fixed single border, whose window class is named after
// the form's class. Its controls come from a layout (FormLayout.h); handlers are
// published by name and assigned to the events the layout names. The layout is for
// 96 dpi; the form scales it to the DPI of its monitor, and again when it is moved
// to a monitor of another DPI.
class TForm : public TWinControl {
public:
    // The window is made hidden, with the client size (at 96 dpi), centred on the
    // desktop.
    TForm(TComponent* Owner, const wchar_t* className, int clientWidth, int clientHeight, TBorderIcons borderIcons,
          TColor color, const TFont& font);

    int Dpi() const override { return m_dpi; }

    // Shown with the focus on the control that last had it (FocusControl).
    void Show();
    void Hide();

    // The control takes the keyboard focus now, or, while the form is not the
    // active window, when the form is activated again. The form gives the focus
    // back to the control that had it whenever it is activated again (after a
    // dialog or a message box it owned, or another program), as a dialog does.
    void FocusControl(HWND control);

    TNotifyEvent OnCreate;
    // Runs OnCreate: the form and its controls exist, the window is not shown yet.
    void DoCreate();

    // Publishes a method under a name; the form's class is the method's.
    template <class Form, class... Args>
    void Publish(const std::string& name, void (Form::*method)(Args...)) {
        Form* form = static_cast<Form*>(this);
        m_published[name] = TEvent<Args...>(
            [form, method](Args... args) { (form->*method)(std::forward<Args>(args)...); });
    }
    // Assigns the method published under the name to the event. A layout naming a
    // handler that does not exist, or one of another type, is a fault of the
    // program: it throws instead of leaving the event silent.
    template <class... Args>
    void WireEvent(TEvent<Args...>& event, const std::string& handlerName) const {
        auto found = m_published.find(handlerName);
        const auto* handler = found != m_published.end() ? std::any_cast<TEvent<Args...>>(&found->second) : nullptr;
        if (handler == nullptr) throw Exception("No handler " + handlerName + " of the event's type");
        event = *handler;
    }

    // The control of the layout with that name, of the expected class.
    template <class Control>
    Control* Find(const std::string& name) const {
        auto* control = dynamic_cast<Control*>(FindComponent(name));
        if (control == nullptr) throw Exception("The layout has no " + name);
        return control;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ControlFocused(HWND control) override { m_focus = control; }

private:
    SIZE FrameSizeAt(int dpi) const;
    bool CanTakeFocus(HWND control) const;
    // High contrast or the system's colours changed: every control follows.
    void SystemColorsChanged();
    void DpiChanged(int dpi, const RECT& suggested);

    std::map<std::string, std::any> m_published;
    int m_clientWidth;
    int m_clientHeight;
    int m_dpi = kDesignDpi;
    HWND m_focus = nullptr;  // the control that has or last had the keyboard focus
};
