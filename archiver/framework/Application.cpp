#include "Application.h"

#include <atomic>
#include <new>

#include "Exception.h"
#include "Form.h"

TApplication& Application() {
    static TApplication application;
    return application;
}

void TApplication::Run(TForm& mainForm) {
    m_mainForm = &mainForm;
    mainForm.Show();
    MSG message;
    while (!m_terminated) {
        BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        Dispatch(message);
    }
    m_terminated = true;
    m_mainForm = nullptr;
}

void TApplication::ProcessMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            m_terminated = true;
            return;
        }
        Dispatch(message);
    }
}

void TApplication::Dispatch(MSG& message) {
    // Tab, arrows and the button keys move between and press the form's controls.
    HWND form = m_mainForm != nullptr ? m_mainForm->Handle() : nullptr;
    if (form != nullptr && ::IsDialogMessageW(form, &message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

void TApplication::Terminate() {
    m_terminated = true;
    ::PostQuitMessage(0);
}

int TApplication::MessageBox(const std::wstring& text, UINT flags) const {
    HWND owner = m_mainForm != nullptr ? m_mainForm->Handle() : nullptr;
    return ::MessageBoxW(owner, text.c_str(), Title.c_str(), flags);
}

void TApplication::ShowException(const std::string& message) const {
    // Messages of the program's own code are in the system's code page.
    int length = ::MultiByteToWideChar(CP_ACP, 0, message.data(), static_cast<int>(message.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, message.data(), static_cast<int>(message.size()), text.data(), length);
    MessageBox(text, MB_OK | MB_ICONERROR);
}

void TApplication::ShowCurrentException() const noexcept {
    // A box runs messages, whose handlers may fail again meanwhile.
    static std::atomic<bool> showing{false};
    try {
        std::string message;
        try {
            throw;
        } catch (const EAbort&) {
            return;
        } catch (const Exception& error) {
            message = error.Message();
        } catch (const std::bad_alloc&) {
            message = "Not enough memory";
        } catch (const std::exception& error) {
            message = error.what();
        } catch (...) {
            message = "An exception of unknown type";
        }
        if (showing.exchange(true)) return;
        ShowException(message);
    } catch (...) {
        // Nothing more can be said.
    }
    showing = false;
}
