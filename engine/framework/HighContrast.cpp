#include "HighContrast.h"

#include <windows.h>

namespace {
bool AskPlatform() {
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool (*g_query)() = AskPlatform;
}  // namespace

bool HighContrastOn() { return g_query(); }

void SetHighContrastQuery(bool (*query)()) { g_query = query != nullptr ? query : AskPlatform; }
