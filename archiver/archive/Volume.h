#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Handles.h"

// One volume: one file of a stream that may span several. The plural name is
// the one the component has always given the type; a stream's volumes are a
// TArrayOfFiles.
struct TFiles {
    std::wstring Name;  // empty until built (reader)
    FileHandle Handle;  // closed: the empty handle
    uint64_t Size = 0;  // while open; 0 when closed
    bool Removable = false;
    // Reader only: the length found when the volume was first opened. A spanning
    // read closes the volumes it leaves; the length lets the next read locate its
    // position without opening every earlier volume again.
    uint64_t Length = 0;

    void Close() {
        Handle.Reset();
        Size = 0;
    }
};

using TArrayOfFiles = std::vector<TFiles>;
