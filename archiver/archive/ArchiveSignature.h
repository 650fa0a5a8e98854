#pragma once
#include <windows.h>

#include <cstdint>

#include "SevenZipSignature.h"

// The offset just past the archive whose start header is read at `start`: the end
// of its last header, so the size of the whole (possibly multi-volume) archive.
// 0 when no valid start header is there (no signature, or its check fails).
uint64_t ArchiveEndFromStartHeader(HANDLE file, uint64_t start);
