#pragma once
#include <windows.h>

#include <cstdint>

// The position a seek asks for, from its base (start, current or end): a position
// before the start is refused, as the platform's own file seek does.
inline HRESULT SeekTarget(uint64_t base, INT64 offset, uint64_t& target) {
    if (offset < 0 && static_cast<uint64_t>(-(offset + 1)) >= base) return HRESULT_FROM_WIN32(ERROR_NEGATIVE_SEEK);
    target = base + static_cast<uint64_t>(offset);
    return S_OK;
}
