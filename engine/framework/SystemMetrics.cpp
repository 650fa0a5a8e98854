#include "SystemMetrics.h"

#include <cstddef>

bool ReadNonClientMetrics(NONCLIENTMETRICSA* metrics) {
    *metrics = NONCLIENTMETRICSA{};
    metrics->cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    return ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics->cbSize, metrics, 0) != FALSE;
}

LOGFONTA StatusBarFont() {
    NONCLIENTMETRICSA metrics;
    return ReadNonClientMetrics(&metrics) ? metrics.lfStatusFont : LOGFONTA{};
}

int CaptionBarHeight() {
    NONCLIENTMETRICSA metrics;
    return ReadNonClientMetrics(&metrics) ? metrics.iCaptionHeight : ::GetSystemMetrics(SM_CYCAPTION) - 1;
}
