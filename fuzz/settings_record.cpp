// The settings file's record: entries are exactly what their length bytes say,
// and a record that was read writes back the same.
// fuzz-sources: archiver/window/SettingsRecord.cpp
#include <cstdio>
#include <cstdlib>

#include "properties/SettingsRecordProperties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string failure =
        SettingsRecordProperties::Check(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
