#pragma once
#include <windows.h>

#include <atomic>
#include <string>

// The standard open dialog in which the user points to a volume file that is not
// where it was looked for. It belongs to the given window (in front of it, which
// waits meanwhile) and leaves the process's current folder as it was, since an
// extraction into an empty base folder goes by it.
class TVolumePrompt {
public:
    // Titled with the prompt, starting in the folder of `name` and offering the
    // files of its set. Confirming replaces `name` with the chosen path; false
    // when the user cancels, or when `cancelled` is or becomes set.
    bool Ask(HWND owner, const std::wstring& prompt, std::wstring& name, const std::atomic<bool>& cancelled);
    // From any thread: the open dialog ends as if cancelled. Ask sees `cancelled`
    // set first, so a dialog still being made ends as soon as it is there.
    void Close();

private:
    static UINT_PTR CALLBACK Hook(HWND child, UINT message, WPARAM wParam, LPARAM lParam);

    std::atomic<HWND> m_dialog{nullptr};
    const std::atomic<bool>* m_cancelled = nullptr;
};
