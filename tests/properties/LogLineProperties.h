#pragma once
// Properties of the uninstall log's line parser, checked by the seeded harness
// and by the native fuzzing target alike. Each check returns what went wrong,
// or nothing.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>

#include "uninstall/UninstallLogRecord.h"

inline std::string CheckLogLine(std::string_view line) {
    const UninstallLogRecord record = ParseLogLine(line);
    const size_t equals = line.find('=');
    // The parser drops line feeds from the value only.
    std::string expected(line.substr(0, equals == std::string_view::npos ? 0 : equals + 1));
    for (char c : line.substr(expected.size()))
        if (c != '\n') expected += c;
    const std::string joined = equals == std::string_view::npos ? record.value : record.kind + "=" + record.value;
    if (joined != expected) return "the record does not join back to its line";
    if (record.kind.find('=') != std::string::npos) return "the kind holds an '='";
    if (record.value.find('\n') != std::string::npos) return "the value holds a line feed";
    return {};
}

// The count as the C library reads it (strtoll), saturated to int.
inline std::string CheckLogCount(std::string_view value) {
    const std::string text(value.substr(0, value.find('\0')));
    errno = 0;
    long long expected = std::strtoll(text.c_str(), nullptr, 10);
    if (expected > INT_MAX) expected = INT_MAX;
    if (expected < INT_MIN) expected = INT_MIN;
    const int got = LogValueAsInteger(value);
    if (got != expected) return "count " + std::to_string(got) + " where the C library reads " + std::to_string(expected);
    return {};
}
