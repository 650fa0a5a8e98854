#include "SfxLayout.h"

#include <algorithm>
#include <vector>

#include "SevenZipSignature.h"

namespace {
constexpr uint64_t kBlockStart = 65536;
constexpr size_t kBlockSize = 81920;
constexpr uint16_t kMaxSections = 96;  // the format's own limit

// Reads clipped to the source: headers may point anywhere.
size_t ReadInside(ByteSource& source, uint64_t offset, void* buffer, size_t count) {
    const uint64_t size = source.Size();
    if (offset >= size) return 0;
    return source.ReadAt(offset, buffer, static_cast<size_t>(std::min<uint64_t>(count, size - offset)));
}

template <class T>
bool ReadValue(ByteSource& source, uint64_t offset, T& value) {
    uint8_t bytes[sizeof(T)];
    if (ReadInside(source, offset, bytes, sizeof bytes) != sizeof bytes) return false;
    value = 0;
    for (size_t i = sizeof bytes; i-- > 0;) value = static_cast<T>((value << 8) | bytes[i]);  // little-endian
    return true;
}

// The end of the last section's raw data: where the program image ends in the file.
uint64_t EndOfSections(ByteSource& source) {
    uint16_t dosMagic = 0;
    uint32_t peOffset = 0, peMagic = 0;
    uint16_t sectionCount = 0, optionalHeaderSize = 0;
    if (!ReadValue(source, 0, dosMagic) || dosMagic != 0x5A4D) return 0;  // "MZ"
    if (!ReadValue(source, 0x3C, peOffset) || !ReadValue(source, peOffset, peMagic) || peMagic != 0x4550) return 0;
    if (!ReadValue(source, uint64_t{peOffset} + 6, sectionCount) ||
        !ReadValue(source, uint64_t{peOffset} + 20, optionalHeaderSize) || sectionCount > kMaxSections)
        return 0;
    uint64_t table = uint64_t{peOffset} + 24 + optionalHeaderSize;
    uint64_t end = 0;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        uint32_t rawSize = 0, rawPointer = 0;
        if (!ReadValue(source, table + 40ull * i + 16, rawSize) || !ReadValue(source, table + 40ull * i + 20, rawPointer))
            return 0;
        if (rawSize != 0 && uint64_t{rawPointer} + rawSize > end) end = uint64_t{rawPointer} + rawSize;
    }
    return end;
}
}  // namespace

std::optional<uint64_t> FindEmbeddedArchiveIn(ByteSource& program) {
    std::vector<uint8_t> block(kBlockSize);
    const size_t read = ReadInside(program, kBlockStart, block.data(), kBlockSize);
    for (size_t i = 0; i + sizeof k7zSignature <= read; ++i)
        if (HasSignatureAt(block.data() + i, read - i)) return kBlockStart + i;

    const uint64_t end = EndOfSections(program);
    uint8_t signature[sizeof k7zSignature];
    if (end > 0 && HasSignatureAt(signature, ReadInside(program, end, signature, sizeof signature))) return end;
    return std::nullopt;
}
