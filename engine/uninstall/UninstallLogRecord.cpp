#include "UninstallLogRecord.h"

#include <climits>

#include "../framework/FixedText.h"

UninstallLogRecord ParseLogLine(std::string_view line) {
    UninstallLogRecord record;
    size_t equals = line.find('=');
    std::string_view value = line;
    if (equals != std::string_view::npos) {
        record.kind = std::string(line.substr(0, equals));
        value = line.substr(equals + 1);
    }
    record.value = ReplaceAll(value, "\n", "");
    return record;
}

bool IsKnownLogKind(std::string_view kind) {
    for (const char* known : {LogKind::kTotalFile, LogKind::kFile, LogKind::kShortcut, LogKind::kDir,
                              LogKind::kNtService, LogKind::kRun3rd, LogKind::kRun3rdCmd, LogKind::kRemoveAll,
                              LogKind::kRegVal})
        if (kind == known) return true;
    return false;
}

int LogValueAsInteger(std::string_view value) {
    size_t i = 0;
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; };
    while (i < value.size() && isBlank(value[i])) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    long long magnitude = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (value[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) return magnitude > static_cast<long long>(INT_MAX) ? INT_MIN : -static_cast<int>(magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}
