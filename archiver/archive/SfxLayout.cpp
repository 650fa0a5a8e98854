#include "SfxLayout.h"

#include <algorithm>
#include <vector>

#include "SevenZipSignature.h"

namespace {
constexpr uint64_t kBlockStart = 65536;
constexpr size_t kBlockSize = 81920;
constexpr uint16_t kMaxSections = 96;  // the format's own limit
constexpr uint16_t kPe32PlusMagic = 0x20B;  // a 64-bit program's optional header
constexpr uint32_t kSecurityDirectory = 4;

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

// Where the program image ends in the file: after the last section's raw data,
// or after the certificate table a signature puts behind them (the security
// entry of the data directories holds a file offset, not an address).
uint64_t EndOfImage(ByteSource& source) {
    uint16_t dosMagic = 0;
    uint32_t peOffset = 0, peMagic = 0;
    uint16_t sectionCount = 0, optionalHeaderSize = 0;
    if (!ReadValue(source, 0, dosMagic) || dosMagic != 0x5A4D) return 0;  // "MZ"
    if (!ReadValue(source, 0x3C, peOffset) || !ReadValue(source, peOffset, peMagic) || peMagic != 0x4550) return 0;
    if (!ReadValue(source, uint64_t{peOffset} + 6, sectionCount) ||
        !ReadValue(source, uint64_t{peOffset} + 20, optionalHeaderSize) || sectionCount > kMaxSections)
        return 0;
    const uint64_t optionalHeader = uint64_t{peOffset} + 24;
    const uint64_t table = optionalHeader + optionalHeaderSize;
    uint64_t end = 0;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        uint32_t rawSize = 0, rawPointer = 0;
        if (!ReadValue(source, table + 40ull * i + 16, rawSize) || !ReadValue(source, table + 40ull * i + 20, rawPointer))
            return 0;
        if (rawSize != 0 && uint64_t{rawPointer} + rawSize > end) end = uint64_t{rawPointer} + rawSize;
    }
    uint16_t optionalMagic = 0;
    uint32_t directoryCount = 0, certificates = 0, certificatesSize = 0;
    ReadValue(source, optionalHeader, optionalMagic);
    const uint64_t directories = optionalHeader + (optionalMagic == kPe32PlusMagic ? 112 : 96);
    if (ReadValue(source, directories - 4, directoryCount) && directoryCount > kSecurityDirectory &&
        directories + 8 * (kSecurityDirectory + 1) <= table &&
        ReadValue(source, directories + 8 * kSecurityDirectory, certificates) &&
        ReadValue(source, directories + 8 * kSecurityDirectory + 4, certificatesSize) && certificatesSize != 0)
        end = std::max(end, uint64_t{certificates} + certificatesSize);
    return end;
}
}  // namespace

std::optional<uint64_t> FindEmbeddedArchiveIn(ByteSource& program) {
    std::vector<uint8_t> block(kBlockSize);
    const size_t read = ReadInside(program, kBlockStart, block.data(), kBlockSize);
    for (size_t i = 0; i + sizeof k7zSignature <= read; ++i)
        if (HasSignatureAt(block.data() + i, read - i)) return kBlockStart + i;

    const uint64_t end = EndOfImage(program);
    uint8_t signature[sizeof k7zSignature];
    if (end > 0 && HasSignatureAt(signature, ReadInside(program, end, signature, sizeof signature))) return end;
    return std::nullopt;
}
