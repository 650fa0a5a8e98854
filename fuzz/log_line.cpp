// Uninstall log lines: a record joins back to its line; counts read as the C
// library reads them.
// fuzz-sources: engine/uninstall/UninstallLogRecord.cpp
#include <cstdio>
#include <cstdlib>

#include "properties/LogLineProperties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (const std::string& failure : {CheckLogLine(input), CheckLogCount(input)})
        if (!failure.empty()) {
            std::fprintf(stderr, "%s\n", failure.c_str());
            std::abort();
        }
    return 0;
}
