#include "SfxProbe.h"

#include <vector>

#include "ArchiveSignature.h"
#include "WideFiles.h"

namespace {
constexpr uint64_t kBlockStart = 65536;
constexpr DWORD kBlockSize = 81920;
constexpr uint16_t kMaxSections = 96;  // the format's own limit

template <class T>
bool ReadValue(HANDLE file, uint64_t offset, T& value) {
    DWORD read = 0;
    return ReadAt(file, offset, &value, sizeof value, read) && read == sizeof value;
}

// The end of the last section's raw data: where the program image ends in the file.
uint64_t EndOfSections(HANDLE file) {
    uint16_t dosMagic = 0;
    uint32_t peOffset = 0, peMagic = 0;
    uint16_t sectionCount = 0, optionalHeaderSize = 0;
    if (!ReadValue(file, 0, dosMagic) || dosMagic != 0x5A4D) return 0;  // "MZ"
    if (!ReadValue(file, 0x3C, peOffset) || !ReadValue(file, peOffset, peMagic) || peMagic != 0x4550) return 0;
    if (!ReadValue(file, uint64_t{peOffset} + 6, sectionCount) ||
        !ReadValue(file, uint64_t{peOffset} + 20, optionalHeaderSize) || sectionCount > kMaxSections)
        return 0;
    uint64_t table = uint64_t{peOffset} + 24 + optionalHeaderSize;
    uint64_t end = 0;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        uint32_t rawSize = 0, rawPointer = 0;
        if (!ReadValue(file, table + 40ull * i + 16, rawSize) || !ReadValue(file, table + 40ull * i + 20, rawPointer))
            return 0;
        if (rawSize != 0 && uint64_t{rawPointer} + rawSize > end) end = uint64_t{rawPointer} + rawSize;
    }
    return end;
}
}  // namespace

std::optional<uint64_t> FindEmbeddedArchive(const std::wstring& path) {
    FileHandle file = OpenForReading(path);
    if (!file) return std::nullopt;
    std::vector<uint8_t> block(kBlockSize);
    DWORD read = 0;
    if (ReadAt(file.Get(), kBlockStart, block.data(), kBlockSize, read))
        for (DWORD i = 0; i + sizeof k7zSignature <= read; ++i)
            if (HasSignatureAt(block.data() + i, read - i)) return kBlockStart + i;

    uint64_t end = EndOfSections(file.Get()), length = 0;
    uint8_t signature[sizeof k7zSignature];
    if (end > 0 && FileLength(file.Get(), length) && end < length && ReadAt(file.Get(), end, signature, sizeof signature, read) &&
        HasSignatureAt(signature, read))
        return end;
    return std::nullopt;
}
