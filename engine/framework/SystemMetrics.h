#pragma once
#include <windows.h>

// The system's non-client metrics, asked for without the padded-border field,
// which older systems refuse; false when the system gives none.
bool ReadNonClientMetrics(NONCLIENTMETRICSA* metrics);
// The status-bar font of the non-client metrics; all zero without them.
LOGFONTA StatusBarFont();
// The caption bar itself, without the border line SM_CYCAPTION adds.
int CaptionBarHeight();
