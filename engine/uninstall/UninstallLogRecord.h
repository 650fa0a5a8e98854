#pragma once
#include <string>
#include <string_view>

#include "../framework/DecimalNumber.h"

// One line of the uninstall log: the text before the first "=" and the text after
// it, line feeds removed. A line without "=" has an empty kind and the whole line
// as value.
struct UninstallLogRecord {
    std::string kind;
    std::string value;
};

namespace LogKind {
inline constexpr char kTotalFile[] = "TOTALFILE";
inline constexpr char kFile[] = "FILE";
inline constexpr char kShortcut[] = "SHORTCUT";
inline constexpr char kDir[] = "DIR";
inline constexpr char kNtService[] = "NTSERVICE";
inline constexpr char kRun3rd[] = "RUN3RD";
inline constexpr char kRun3rdCmd[] = "RUN3RDCMD";
inline constexpr char kRemoveAll[] = "REMOVEALL";
inline constexpr char kRegVal[] = "REGVAL";
}  // namespace LogKind

UninstallLogRecord ParseLogLine(std::string_view line);
// One of the kinds above, compared exactly.
bool IsKnownLogKind(std::string_view kind);

// A count in the log, read as C's atoi reads it, saturating (DecimalNumber).
inline int LogValueAsInteger(std::string_view value) { return DecimalNumber(value); }
