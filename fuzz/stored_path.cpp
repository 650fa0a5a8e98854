// Stored paths of extraction: the rules hold component by component, and an
// accepted path never leaves the base. The input is read as UTF-16.
// fuzz-sources: archiver/archive/StoredPath.cpp
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "properties/StoredPathProperties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring path;
    for (size_t i = 0; i + 1 < size; i += 2) path.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    const std::string failure = StoredPathProperties::Check(path);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
