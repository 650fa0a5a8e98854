#include "ArchiveHold.h"

#include "archive/WideFiles.h"
#include "archive/WidePath.h"

namespace {
// The reader's own limit of a volume set.
constexpr int64_t kMaxVolumes = 1000000;
}  // namespace

TArchiveHold::TArchiveHold(const std::wstring& name) {
    if (name.empty() || !Take(name)) {
        const DWORD error = ::GetLastError();
        m_missing = name.empty() || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return;
    }
    int64_t number = 1;
    std::wstring base = name;
    const std::wstring extension = ExtensionOf(name);
    if (extension.size() > 1 && ParseDecimal(extension.substr(1), number)) base = WithoutExtension(name);
    // The run ends at the first number missing; one that is there must be held.
    for (int64_t next = number + 1; next <= kMaxVolumes; ++next) {
        const std::wstring volume = base + L"." + VolumeNumber(static_cast<uint64_t>(next));
        if (Take(volume)) continue;
        if (::GetLastError() != ERROR_FILE_NOT_FOUND) return;
        break;
    }
    m_held = true;
}

bool TArchiveHold::Take(const std::wstring& name) {
    FileHandle file = OpenForReading(name);  // others may read it, nothing more
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || !::GetFileInformationByHandle(file.Get(), &information)) return false;
    TArchiveFileState& state = m_files.emplace_back();
    state.Name = name;
    state.Size = (static_cast<uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    state.LastWrite = (static_cast<uint64_t>(information.ftLastWriteTime.dwHighDateTime) << 32) |
                      information.ftLastWriteTime.dwLowDateTime;
    m_handles.push_back(std::move(file));
    return true;
}
