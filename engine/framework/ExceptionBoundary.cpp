#include "ExceptionBoundary.h"

#include <atomic>
#include <exception>
#include <new>
#include <string>

#include "MessageBox.h"

void ReportCurrentException() noexcept {
    // Reported from any thread; a box runs messages, whose handlers may fail again meanwhile.
    static std::atomic<bool> reporting{false};
    try {
        std::string text = "The action could not be completed: ";
        try {
            throw;
        } catch (const std::bad_alloc&) {
            text += "not enough memory";
        } catch (const std::exception& error) {
            text += error.what();
        } catch (...) {
            text += "an exception of unknown type";
        }
        if (reporting.exchange(true)) return;
        AppMessageBox(text.c_str(), MB_OK | MB_ICONSTOP);
    } catch (...) {
        // Nothing more can be said.
    }
    reporting = false;
}
