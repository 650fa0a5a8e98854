#include "OperationRunner.h"

#include <exception>
#include <thread>

#include "framework/Application.h"

TOperationRunner::~TOperationRunner() {
    for (wchar_t* text : m_handedOver) delete[] text;
}

int32_t TOperationRunner::Run(const std::function<int32_t()>& operation) {
    // A close that came meanwhile (a message box of the action) wins; the
    // component's own check covers a close made while the worker starts.
    if (Application().Terminated()) return -1;
    std::atomic<bool> finished{false};
    int32_t result = -1;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            result = operation();
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        ::PostMessageW(m_window, kOperationOverMessage, 0, 0);  // wakes the wait below
    });
    // The steps are shown every few milliseconds, all that came meanwhile, each as
    // it was; when they come faster than bars repaint, a slice at a time, with the
    // user's clicks and the painting between the slices.
    bool behind = false;
    while (!finished || behind) {
        if (!behind) ::MsgWaitForMultipleObjectsEx(0, nullptr, 15, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        Application().ProcessMessages();
        behind = ShowSteps(20);
    }
    worker.join();
    if (failure) std::rethrow_exception(failure);
    return result;
}

void TOperationRunner::FileStarted(const std::wstring& name, uint64_t size) {
    QueueStep({TStep::TKind::ShowFile, name, size});
}

void TOperationRunner::TotalKnown(uint64_t total) { QueueStep({TStep::TKind::TotalMax, {}, total}); }

void TOperationRunner::Positions(uint64_t total, uint64_t file) {
    QueueStep({TStep::TKind::Positions, {}, total, file});
}

void TOperationRunner::QueueStep(TStep step) {
    std::lock_guard<std::mutex> lock(m_stepsLock);
    m_steps.push_back(std::move(step));
}

bool TOperationRunner::ShowSteps(DWORD budgetMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        TStep step;
        {
            std::lock_guard<std::mutex> lock(m_stepsLock);
            if (m_steps.empty()) return false;
            if (::GetTickCount() - start >= budgetMs) return true;
            step = std::move(m_steps.front());
            m_steps.pop_front();
        }
        // Once the program is ending, nobody looks.
        if (Application().Terminated()) continue;
        switch (step.Kind) {
        case TStep::TKind::ShowFile: m_view.ShowFile(step.Name, step.First); break;
        case TStep::TKind::TotalMax: m_view.ShowTotal(step.First); break;
        case TStep::TKind::Positions: m_view.ShowPositions(step.First, step.Second); break;
        }
    }
}

bool TOperationRunner::AskPassword(std::wstring& password) {
    m_passwordAnswer = &password;
    const bool answered = ::SendMessageW(m_window, kAskPasswordMessage, 0, 0) != 0;
    m_passwordAnswer = nullptr;
    return answered;
}

bool TOperationRunner::HandOverText(const std::wstring& text) {
    auto* copy = new wchar_t[text.size() + 1];
    text.copy(copy, text.size());
    copy[text.size()] = L'\0';
    m_handedOver.insert(copy);
    if (::PostMessageW(m_window, kTakeTextMessage, 0, reinterpret_cast<LPARAM>(copy))) return true;
    m_handedOver.erase(copy);
    delete[] copy;
    return false;
}

void TOperationRunner::TakeText(LPARAM text) {
    // Any process can post this message, with any value: only a string this
    // window handed over itself is released, anything else is not ours to free.
    auto found = m_handedOver.find(reinterpret_cast<wchar_t*>(text));
    if (found != m_handedOver.end()) {
        delete[] *found;
        m_handedOver.erase(found);
    }
    // A flood of these messages would otherwise nest one message loop in the next
    // until the stack runs out: the first lets the others run, each of them returns.
    if (m_takingText) return;
    m_takingText = true;
    Application().ProcessMessages();
    m_takingText = false;
}

bool TOperationRunner::HandleMessage(UINT message, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
    case kTakeTextMessage: TakeText(lParam); return true;
    case kOperationOverMessage: return true;  // wakes Run
    // Any process may send it: only a question of the running operation is asked.
    case kAskPasswordMessage: {
        std::wstring* answer = m_passwordAnswer;
        result = answer != nullptr && m_view.AskPassword(*answer) ? 1 : 0;
        return true;
    }
    default: return false;
    }
}
