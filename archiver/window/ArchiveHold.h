#pragma once
#include <string>
#include <vector>

#include "archive/Handles.h"

// The files of an archive held open for reading while the window keeps it: the
// one named and the volumes after it (NAME.002... after a name that is not
// numbered, the following numbers after one that is). Others may read them
// meanwhile but not write, replace, rename or delete them. A file that cannot be
// held (another program writes it) ends the hold there: the restore's check of
// the archive still tells whether it is the one listed.
class TArchiveHold {
public:
    TArchiveHold() = default;
    explicit TArchiveHold(const std::wstring& name);

private:
    std::vector<FileHandle> m_handles;
};
