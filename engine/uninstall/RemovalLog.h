#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <string_view>

// The removal log an administrator asks for with /LOG: one UTF-8 line for each
// action of the run with its outcome, the messages a silent run did not show,
// and the exit code last. Every line reaches the file as it is written, so a
// run that dies leaves what it did. A log that is not open writes nothing.
// Written from both the interface thread and the removal worker.
class RemovalLog {
public:
    RemovalLog() = default;
    ~RemovalLog();
    RemovalLog(const RemovalLog&) = delete;
    RemovalLog& operator=(const RemovalLog&) = delete;

    // Creates the file, or empties the one there; false when it cannot.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }

    // One line of text in the system's code page; with an error code, followed
    // by ": " and the system's own text for it. Whatever the text holds stays on
    // this line: each control character, and "<", is written as "<XX>", its code
    // in two hexadecimal digits (a line feed as "<0A>"; the line and paragraph
    // separators in four, "<2028>").
    void Write(std::string_view text, DWORD error = ERROR_SUCCESS);
    // "KIND subject: outcome", and the error's text when there is an error.
    void WriteAction(std::string_view kind, std::string_view subject, std::string_view outcome,
                     DWORD error = ERROR_SUCCESS);
    // A message box that was not shown, on one line.
    void WriteMessage(std::string_view caption, std::string_view text);

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    std::mutex m_lock;
};
