#pragma once
#include <cstdint>

#include "SevenZipSignature.h"

// The offset just past the archive whose start header (read at `start`) is given:
// the end of its last header, so the size of the whole (possibly multi-volume)
// archive. 0 when it is no valid start header (no signature, or its check fails).
uint64_t ArchiveEndFromStartHeader(const uint8_t (&header)[kStartHeaderSize], uint64_t start);
