#include "SessionEnd.h"

#include <utility>

namespace {
SessionEndHold* g_hold = nullptr;

BlockReasonHandler& Handler() {
    static BlockReasonHandler handler;
    return handler;
}

void GiveReason(HWND owner, const std::optional<std::wstring>& reason) {
    if (Handler()) {
        Handler()(owner, reason);
        return;
    }
    // Looked up at run time: where the system lacks them, the FALSE answers hold the session alone.
    static const HMODULE user32 = ::GetModuleHandleA("user32.dll");
    static const auto create =
        reinterpret_cast<BOOL(WINAPI*)(HWND, LPCWSTR)>(::GetProcAddress(user32, "ShutdownBlockReasonCreate"));
    static const auto destroy =
        reinterpret_cast<BOOL(WINAPI*)(HWND)>(::GetProcAddress(user32, "ShutdownBlockReasonDestroy"));
    if (reason && create != nullptr)
        create(owner, reason->c_str());
    else if (!reason && destroy != nullptr)
        destroy(owner);
}
}  // namespace

void SetBlockReasonHandler(BlockReasonHandler handler) { Handler() = std::move(handler); }

SessionEndHold::SessionEndHold(HWND owner, const std::wstring& reason, std::function<void()> ended)
    : m_owner(owner), m_ended(std::move(ended)), m_outer(g_hold) {
    g_hold = this;
    GiveReason(m_owner, reason);
}

SessionEndHold::~SessionEndHold() {
    GiveReason(m_owner, std::nullopt);
    g_hold = m_outer;
}

bool AnswerSessionEnd(UINT message, WPARAM wParam, LRESULT* result) {
    if (g_hold == nullptr) return false;
    if (message == WM_QUERYENDSESSION) {
        *result = FALSE;
        return true;
    }
    if (message != WM_ENDSESSION || !wParam) return false;
    *result = 0;
    // Once: a second window told of the same end finds the hold at work.
    if (std::function<void()> ended = std::exchange(g_hold->m_ended, nullptr)) ended();
    return true;
}
