#include "ProgressBar.h"

#include <commctrl.h>

#include <algorithm>

TProgressBar::TProgressBar(TComponent* Owner, TWinControl* Parent) : TWinControl(Owner, Parent) {
    CreateHandle(PROGRESS_CLASSW, WS_VISIBLE);
    ::SendMessageW(Handle(), PBM_SETRANGE32, 0, 100);
}

int TProgressBar::Scaled(uint64_t value) const {
    return static_cast<int>(std::min<uint64_t>(value >> m_shift, INT32_MAX));
}

void TProgressBar::SetMax(uint64_t max) {
    const unsigned previousShift = m_shift;
    m_max = max;
    m_shift = 0;
    while ((max >> m_shift) > INT32_MAX) ++m_shift;
    ::SendMessageW(Handle(), PBM_SETRANGE32, 0, Scaled(max));
    // The bar holds its position scaled: a new scale needs it again.
    if (m_shift != previousShift) ::SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(Scaled(m_position)), 0);
}

void TProgressBar::SetPosition(uint64_t position) {
    m_position = position;
    ::SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(Scaled(position)), 0);
}
