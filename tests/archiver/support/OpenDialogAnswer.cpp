#include "OpenDialogAnswer.h"

#include <future>

#include "support/ChildProcess.h"
#include "support/DialogWindow.h"

namespace {
// The file-name box of the explorer-style open dialog.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;
}  // namespace

OpenDialogAnswer::OpenDialogAnswer(std::vector<Answer> answers) : m_answers(std::move(answers)) {
    // The thread's first window call sets it up in the window system; made while
    // the caller loads the dialog's libraries, it can deadlock under Wine. So the
    // caller goes on only once the thread has made one.
    std::promise<void> ready;
    std::future<void> started = ready.get_future();
    m_thread = std::thread([this, &ready] {
        FindProcessWindow(::GetCurrentProcessId(), "#32770");
        ready.set_value();
        Run();
    });
    started.wait();
}

OpenDialogAnswer::~OpenDialogAnswer() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

std::vector<std::wstring> OpenDialogAnswer::Titles() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    return m_titles;
}

void OpenDialogAnswer::Run() {
    size_t next = 0;
    HWND answered = nullptr;
    while (!m_stop && next < m_answers.size()) {
        HWND hwnd = FindProcessWindow(::GetCurrentProcessId(), "#32770");
        if (hwnd == nullptr || hwnd == answered || !::IsWindowVisible(hwnd)) {
            if (answered != nullptr && !::IsWindow(answered)) answered = nullptr;
            ::Sleep(30);
            continue;
        }
        wchar_t title[256] = {};
        ::GetWindowTextW(hwnd, title, 256);
        if (m_answers[next].title != title) {
            ::Sleep(30);
            continue;
        }
        ::Sleep(100);  // let the dialog finish its start-up
        m_titles.push_back(title);
        DialogWindow dialog(hwnd);
        if (m_answers[next].fileName.empty()) {
            dialog.Press(IDCANCEL);
        } else {
            int box = ::GetDlgItem(hwnd, kFileNameCombo) != nullptr ? kFileNameCombo : kFileNameEdit;
            ::SendMessageW(::GetDlgItem(hwnd, box), WM_SETTEXT, 0,
                           reinterpret_cast<LPARAM>(m_answers[next].fileName.c_str()));
            dialog.Press(IDOK);
        }
        answered = hwnd;
        dialog.WaitClosed(5000);
        ++next;
    }
}
