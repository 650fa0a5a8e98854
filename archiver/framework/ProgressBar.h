#pragma once
#include <cstdint>

#include "Control.h"

// The platform's progress bar (Progress Bar control reference). Positions and the
// maximum are 64-bit: sizes of several gigabytes are scaled down together to the
// bar's 32-bit range, so the bar keeps the proportion instead of wrapping.
class TProgressBar : public TWinControl {
public:
    TProgressBar(TComponent* Owner, TWinControl* Parent);

    uint64_t Max() const { return m_max; }
    void SetMax(uint64_t max);
    uint64_t Position() const { return m_position; }
    void SetPosition(uint64_t position);

private:
    int Scaled(uint64_t value) const;

    uint64_t m_max = 100;
    uint64_t m_position = 0;
    unsigned m_shift = 0;
};
