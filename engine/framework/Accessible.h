#pragma once
#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <memory>
#include <string>

class CWnd;

// MinGW's import library holds a stub of IID_IAccessible with which the
// platform answers E_NOINTERFACE: the interface's own identifier.
extern const IID kIidAccessible;

// What assistive technology learns of a window beyond what the system tells
// from its class, text and state. The window's object keeps it: where the
// platform refuses the annotation (Wine), the window answers WM_GETOBJECT with
// the same facts over the system's own accessible object.
struct AccessibleFacts {
    // The name: this text, or, when `nameSource` is set, that window's text as
    // it is when a client asks ("&" mnemonics removed).
    bool named = false;
    std::string name;
    HWND nameSource = nullptr;
    long role = 0;  // 0: the system's
    std::string description;
    bool decorative = false;  // a picture or frame that says nothing: no name, not content
    bool liveRegion = false;  // changes are announced, politely
    bool annotated = false;   // the platform took at least one annotation
    bool served = false;      // it refused one: WM_GETOBJECT answers

    std::wstring NameNow() const;
};

// Where annotations go: the platform's annotation service (IAccPropServices),
// or what a test puts in its place to see the calls the platform gets.
class AnnotationSink {
public:
    virtual ~AnnotationSink() = default;
    virtual HRESULT SetText(HWND hwnd, LONG objectId, const GUID& property, const wchar_t* text) = 0;
    virtual HRESULT SetValue(HWND hwnd, LONG objectId, const GUID& property, const VARIANT& value) = 0;
    // The property's text made by `text` whenever a client asks for it.
    virtual HRESULT SetTextSource(HWND hwnd, LONG objectId, const GUID& property,
                                  std::function<std::wstring()> text) = 0;
    virtual HRESULT Clear(HWND hwnd, LONG objectId, const GUID* properties, int count) = 0;
};
// A test's sink in place of the platform's; null gives the platform's back.
void SetAnnotationSink(AnnotationSink* sink);

// Dynamic annotation of a window's client object (Dynamic Annotation reference),
// through the thread's one instance of the service. Each call also records the
// fact on the window's object.
class Annotation {
public:
    void Name(CWnd& window, const std::string& name);
    // Named by the other window's text, as it is when asked.
    void NameFrom(CWnd& window, HWND source);
    void Role(CWnd& window, long role);
    void Description(CWnd& window, const std::string& text);
    // No name, the role of a picture, neither control nor content for UI Automation.
    void Decorative(CWnd& window);
    // "LiveSetting" polite: a change (NotifyLiveRegionChanged) is read out when the reader is free.
    void LiveRegion(CWnd& window);
    // What the window was given goes with it.
    void Clear(HWND hwnd);

private:
    void Record(AccessibleFacts& facts, HRESULT result);
    static AnnotationSink& Sink();
};

// A live region's content changed: assistive technology reads it out.
void NotifyLiveRegionChanged(HWND hwnd);

// The answer to WM_GETOBJECT of a window whose annotation the platform
// refused: the system's object for the window with the facts laid over it.
// False when the request is for another object or the system has none.
bool AnswerGetObject(HWND hwnd, const AccessibleFacts& facts, WPARAM wParam, LPARAM lParam, LRESULT* result);
