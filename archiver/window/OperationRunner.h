#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_set>

// Hands the window a string (long parameter) that the window then releases.
constexpr UINT kTakeTextMessage = 9999;
// The running operation is over.
constexpr UINT kOperationOverMessage = WM_APP + 1;
// The running operation needs a password; the result is 1 when the user gave one.
constexpr UINT kAskPasswordMessage = WM_APP + 2;

// Runs the window's archive operations, one at a time, each on a thread of its
// own, while the window's thread keeps the window alive. The 7-Zip library reports
// progress from threads of its own while it packs or unpacks with several, and the
// thread that called it waits meanwhile: a window touched from such a report would
// wait for a thread that cannot answer. So what the operation's events show is
// queued and shown on the window's thread, every step in order, and a password the
// operation needs is asked there, where its dialog belongs.
class TOperationRunner {
public:
    // What the window shows and asks, on its own thread.
    class TView {
    public:
        virtual void ShowFile(const std::wstring& name, uint64_t size) = 0;
        virtual void ShowTotal(uint64_t total) = 0;
        virtual void ShowPositions(uint64_t total, uint64_t file) = 0;
        // False when declined, or once the program is ending.
        virtual bool AskPassword(std::wstring& password) = 0;

    protected:
        ~TView() = default;
    };

    TOperationRunner(HWND window, TView& view) : m_window(window), m_view(view) {}
    ~TOperationRunner();
    TOperationRunner(const TOperationRunner&) = delete;
    TOperationRunner& operator=(const TOperationRunner&) = delete;

    // Runs the operation and returns its result once it is over, the window's
    // messages dispatched meanwhile: also after "Koniec", since the component must
    // not go while it works. What the operation throws is thrown here. Once the
    // program is ending nothing starts: -1.
    int32_t Run(const std::function<int32_t()>& operation);

    // From the operation's threads.
    void FileStarted(const std::wstring& name, uint64_t size);
    void TotalKnown(uint64_t total);
    void Positions(uint64_t total, uint64_t file);
    // The operation's thread waits for the answer; false when declined.
    bool AskPassword(std::wstring& password);

    // Posts a copy of the text to the window with kTakeTextMessage; the window
    // releases it when the message arrives.
    bool HandOverText(const std::wstring& text);
    size_t TextsHandedOver() const { return m_handedOver.size(); }

    // The window's messages that are the runner's: true, with the result, when
    // the message was one.
    bool HandleMessage(UINT message, LPARAM lParam, LRESULT& result);

private:
    // What an event of the running operation changes in the window.
    struct TStep {
        enum class TKind { ShowFile, TotalMax, Positions } Kind;
        std::wstring Name;
        uint64_t First = 0;
        uint64_t Second = 0;
    };
    void QueueStep(TStep step);
    // Shows queued steps for up to the budget; true when some are left.
    bool ShowSteps(DWORD budgetMs);
    void TakeText(LPARAM text);

    HWND m_window;
    TView& m_view;
    std::mutex m_stepsLock;
    std::deque<TStep> m_steps;
    std::atomic<std::wstring*> m_passwordAnswer{nullptr};  // the running operation's question
    std::unordered_set<wchar_t*> m_handedOver;
    bool m_takingText = false;  // message 9999 is letting messages run
};
