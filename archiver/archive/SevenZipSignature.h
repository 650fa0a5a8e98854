#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

// The published start of every 7z archive: six signature bytes, then a start
// header of 26 bytes that says where the archive's last header lies.
constexpr uint8_t k7zSignature[6] = {0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C};
constexpr size_t kStartHeaderSize = 32;
using TStartHeader = std::array<uint8_t, kStartHeaderSize>;

inline bool HasSignatureAt(const uint8_t* bytes, size_t available) {
    return available >= sizeof k7zSignature && std::memcmp(bytes, k7zSignature, sizeof k7zSignature) == 0;
}
