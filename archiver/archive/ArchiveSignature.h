#pragma once
#include <cstdint>

#include "SevenZipSignature.h"

// The offset just past the archive whose start header (read at `start`) is given:
// the end of its last header, so the size of the whole (possibly multi-volume)
// archive. 0 when it is no valid start header (no signature, or its check fails).
uint64_t ArchiveEndFromStartHeader(const TStartHeader& header, uint64_t start);
// CRC-32 as the 7z format sums its headers.
uint32_t Crc32(const uint8_t* bytes, size_t count);
