#include "SfxProbe.h"

#include "SfxLayout.h"
#include "WideFiles.h"

namespace {
class FileSource final : public ByteSource {
public:
    explicit FileSource(HANDLE file) : m_file(file) { FileLength(file, m_size); }
    uint64_t Size() const override { return m_size; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) override {
        DWORD read = 0;
        return ::ReadAt(m_file, offset, buffer, static_cast<DWORD>(count), read) ? read : 0;
    }

private:
    HANDLE m_file;
    uint64_t m_size = 0;
};
}  // namespace

std::optional<uint64_t> FindEmbeddedArchive(const std::wstring& path) {
    FileHandle file = OpenForReading(path);
    if (!file) return std::nullopt;
    FileSource source(file.Get());
    return FindEmbeddedArchiveIn(source);
}
