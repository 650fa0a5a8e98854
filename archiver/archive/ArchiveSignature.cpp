#include "ArchiveSignature.h"

#include <cstring>

uint32_t Crc32(const uint8_t* bytes, size_t count) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

namespace {
uint64_t LittleEndian(const uint8_t* bytes, size_t count) {
    uint64_t value = 0;
    for (size_t i = count; i-- > 0;) value = (value << 8) | bytes[i];
    return value;
}
}  // namespace

uint64_t ArchiveEndFromStartHeader(const TStartHeader& header, uint64_t start) {
    if (!HasSignatureAt(header.data(), header.size())) return 0;
    if (static_cast<uint32_t>(LittleEndian(header.data() + 8, 4)) != Crc32(header.data() + 12, 20)) return 0;
    uint64_t nextHeaderOffset = LittleEndian(header.data() + 12, 8);
    uint64_t nextHeaderSize = LittleEndian(header.data() + 20, 8);
    uint64_t end = start + kStartHeaderSize;
    if (nextHeaderSize > UINT64_MAX - end || nextHeaderOffset > UINT64_MAX - end - nextHeaderSize) return 0;
    return end + nextHeaderOffset + nextHeaderSize;
}
