#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "ErrorCodes.h"
#include "OperationHost.h"

// The step the update and extract callbacks both take on each progress report of
// the library: an item counts as started while none of its bytes are counted
// (so the start is told more than once), its counter follows the library's
// running total, and a cancel request turns the report into error 6.
class TItemProgress {
public:
    void StartItem(const std::wstring& path, uint64_t size) {
        Path = path;
        Size = size;
        m_counter = 0;
    }
    // S_FALSE when the operation is to stop.
    HRESULT Report(TOperationHost& host, const UINT64* completed) {
        uint64_t value = completed != nullptr ? *completed : m_lastCompleted;
        if (m_counter == 0) host.ItemStarted(Path, Size);
        m_counter += value - m_lastCompleted;
        m_lastCompleted = value;
        host.Progress(Path, value, m_counter);
        if (!host.CancelRequested()) return S_OK;
        host.ReportError(kUserCanceled, Path);
        return S_FALSE;
    }

    std::wstring Path;
    uint64_t Size = 0;

private:
    uint64_t m_counter = 0;
    uint64_t m_lastCompleted = 0;  // not reset between items
};
