#include "ArchiveHold.h"

#include "archive/WideFiles.h"
#include "archive/WidePath.h"

namespace {
// The reader's own limit of a volume set.
constexpr int64_t kMaxVolumes = 1000000;
}  // namespace

TArchiveHold::TArchiveHold(const std::wstring& name) {
    int64_t number = 1;
    std::wstring base = name;
    const std::wstring extension = ExtensionOf(name);
    if (extension.size() > 1 && ParseDecimal(extension.substr(1), number)) base = WithoutExtension(name);
    // The run ends at the first number missing.
    for (int64_t next = number; next <= kMaxVolumes; ++next) {
        FileHandle file = OpenForReading(next == number ? name : base + L"." + VolumeNumber(static_cast<uint64_t>(next)));
        if (!file) break;
        m_handles.push_back(std::move(file));
    }
}
