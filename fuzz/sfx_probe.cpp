// The self-extractor probe over a program's bytes: reads stay inside, an answer
// points at a signature.
// fuzz-sources: archiver/archive/SfxLayout.cpp
#include <cstdio>
#include <cstdlib>

#include "properties/SfxProbeProperties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string failure = SfxProbeProperties::Check({reinterpret_cast<const char*>(data), size});
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
