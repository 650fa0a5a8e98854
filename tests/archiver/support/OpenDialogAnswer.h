#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// Answers the standard open dialogs that this process shows, from a second thread:
// the first dialog with each expected title gets the file name typed in and is
// confirmed (or cancelled when the name is empty). The titles seen are kept.
class OpenDialogAnswer {
public:
    struct Answer {
        std::wstring title;
        std::wstring fileName;  // empty: press Cancel
    };
    explicit OpenDialogAnswer(std::vector<Answer> answers);
    ~OpenDialogAnswer();
    OpenDialogAnswer(const OpenDialogAnswer&) = delete;
    OpenDialogAnswer& operator=(const OpenDialogAnswer&) = delete;

    // The titles of the dialogs answered, in order.
    std::vector<std::wstring> Titles();

private:
    void Run();

    std::vector<Answer> m_answers;
    std::vector<std::wstring> m_titles;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
