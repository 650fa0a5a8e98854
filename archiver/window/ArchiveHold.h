#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/Handles.h"

// One file of an archive as it was when the window took it.
struct TArchiveFileState {
    std::wstring Name;
    uint64_t Size = 0;
    uint64_t LastWrite = 0;  // 100-ns units
    bool operator==(const TArchiveFileState&) const = default;
};

// The files of an archive held open for reading while the window lists or
// restores it: the one named and the volumes after it (NAME.002... after a name
// that is not numbered, the following numbers after one that is). Others may read
// them meanwhile but not write, replace, rename or delete them, so that what the
// window checks is what the library then reads.
class TArchiveHold {
public:
    explicit TArchiveHold(const std::wstring& name);

    // False when a file of the archive is there but cannot be held, or the
    // first is not there at all (Missing).
    bool Held() const { return m_held; }
    bool Missing() const { return m_missing; }
    // Each file held with its size and last-write time.
    const std::vector<TArchiveFileState>& Files() const { return m_files; }

private:
    bool Take(const std::wstring& name);

    std::vector<FileHandle> m_handles;
    std::vector<TArchiveFileState> m_files;
    bool m_held = false;
    bool m_missing = false;
};
