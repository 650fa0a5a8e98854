#pragma once
#include <windows.h>

#include <functional>
#include <string>

// What assistive technology learns of a control beyond its window's text and
// class: a name made when a client asks, and whether its changes are read out
// (a live region, LiveSetting polite). They go to the platform's annotation
// service (IAccPropServices); where it refuses them, as Wine does, the control
// answers WM_GETOBJECT itself with the system's objects (the window's and its
// client area's) and the name laid over them.
struct TAccessibleFacts {
    std::function<std::wstring()> Name;  // empty: the system's
    bool Live = false;
    bool Annotated = false;  // the service took something: cleared with the window
    bool Served = false;     // the service refused something: WM_GETOBJECT answers
};

// Where annotations go: the platform's service, or a test's sink in its place.
class TAnnotationSink {
public:
    virtual ~TAnnotationSink() = default;
    // The name of the window's own and client objects, made by `name` whenever a client asks.
    virtual HRESULT SetName(HWND hwnd, std::function<std::wstring()> name) = 0;
    // LiveSetting of the window's client object (1: polite).
    virtual HRESULT SetLiveSetting(HWND hwnd, long setting) = 0;
    virtual void Clear(HWND hwnd) = 0;
};
// A test's sink in place of the platform's; null gives the platform's back.
void SetAnnotationSink(TAnnotationSink* sink);
// The test's sink, or the platform's service for this thread (made at the first use).
TAnnotationSink& Annotations();

// The live region's content changed (EVENT_OBJECT_LIVEREGIONCHANGED).
void AnnounceLiveRegion(HWND hwnd);

// The answer to WM_GETOBJECT for a window whose facts the service refused; false
// when the request is for another object or the system has none for the window.
bool AnswerGetObject(HWND hwnd, const TAccessibleFacts& facts, WPARAM wParam, LPARAM lParam, LRESULT& result);
