#include "UninstallLogRecord.h"

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
