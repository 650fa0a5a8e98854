#pragma once
#include <windows.h>

#include <string>

class TForm;

// The program's one application object: its message loop, the loop's nested form
// for long operations, and the message boxes it shows in its own name.
class TApplication {
public:
    // The title of the program's message boxes.
    std::wstring Title;

    // Shows the form and dispatches messages until Terminate.
    void Run(TForm& mainForm);
    // Dispatches the messages waiting now, then returns: a long operation calls it
    // so that the window repaints and its buttons respond.
    void ProcessMessages();
    // Ends Run once the handler now running has returned.
    void Terminate();
    bool Terminated() const { return m_terminated; }

    int MessageBox(const std::wstring& text, UINT flags) const;
    void ShowException(const std::string& message) const;
    // Shows the exception being handled, unless it is the silent EAbort; call it
    // only inside a catch block. While one is showing, others are not shown again.
    void ShowCurrentException() const noexcept;

    // Runs one action where no exception may pass (a window or dialog procedure,
    // the program's entry): what it raises ends the action, shown, and `failed`
    // is returned instead.
    template <class Result, class Body>
    Result Guarded(Result failed, Body&& body) const noexcept {
        try {
            return body();
        } catch (...) {
            ShowCurrentException();
            return failed;
        }
    }

private:
    void Dispatch(MSG& message);

    TForm* m_mainForm = nullptr;
    bool m_terminated = false;
};

TApplication& Application();
