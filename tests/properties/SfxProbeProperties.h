#pragma once
// Properties of the self-extractor probe, checked by the seeded harness and by
// the native fuzzing target alike: every read lies inside the program's bytes,
// and an answer points at a whole signature inside them.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "archive/SevenZipSignature.h"
#include "archive/SfxLayout.h"

namespace SfxProbeProperties {
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : m_bytes(bytes) {}
    uint64_t Size() const override { return m_bytes.size(); }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override {
        if (offset > m_bytes.size() || count > m_bytes.size() - offset) outside = true;
        if (offset >= m_bytes.size()) return 0;
        count = std::min<size_t>(count, m_bytes.size() - static_cast<size_t>(offset));
        std::memcpy(buffer, m_bytes.data() + offset, count);
        return count;
    }
    bool outside = false;

private:
    std::string_view m_bytes;
};

inline std::string Check(std::string_view program) {
    MemorySource source(program);
    const std::optional<uint64_t> found = FindEmbeddedArchiveIn(source);
    if (source.outside) return "the probe read outside the program";
    if (!found) return {};
    if (*found > program.size() || program.size() - *found < sizeof k7zSignature)
        return "the archive found lies outside the program";
    if (!HasSignatureAt(reinterpret_cast<const uint8_t*>(program.data()) + *found, program.size() - *found))
        return "no signature where the archive was found";
    return {};
}
}  // namespace SfxProbeProperties
