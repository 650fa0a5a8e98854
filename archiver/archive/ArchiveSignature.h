#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

// The published start of every 7z archive: six signature bytes, then a start
// header of 26 bytes that says where the archive's last header lies.
constexpr uint8_t k7zSignature[6] = {0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C};
constexpr size_t kStartHeaderSize = 32;

bool HasSignatureAt(const uint8_t* bytes, size_t available);

// The offset just past the archive whose start header is read at `start`: the end
// of its last header, so the size of the whole (possibly multi-volume) archive.
// 0 when no valid start header is there (no signature, or its check fails).
uint64_t ArchiveEndFromStartHeader(HANDLE file, uint64_t start);
