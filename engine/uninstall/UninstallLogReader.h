#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "UninstallLogRecord.h"

using LogRecordConsumer = std::function<void(const UninstallLogRecord&)>;

enum class LogReading {
    kRead,         // every record handed over
    kEmpty,        // nothing but blanks and line ends: no record
    kNotOpened,    // error: why (locked by another process, missing...)
    kFolder,       // a folder of that name
    kNoKnownLine,  // text, but not one line of a kind the engine knows
    kReadFailed,   // stopped part of the way; error: why
};

struct LogReadResult {
    LogReading reading = LogReading::kRead;
    DWORD error = ERROR_SUCCESS;
};

// Reads the uninstall log as text mode reads it (the carriage return of a CRLF
// pair dropped), a piece of at most 1023 characters at a time (a longer line
// arrives as several records), every byte of the file: a Ctrl+Z or another
// control byte is a byte of its line, never the end. Every record goes to the
// consumer in file order; a read that fails part of the way says so. A log that cannot be read, or that holds not one line
// of a known kind (random bytes, another file of that name), hands over nothing:
// acting on it would remove nothing and still report the product removed. A
// value naming the special product's companion program sets the product's
// companion-seen flag.
LogReadResult ReadUninstallLog(const std::string& path, const LogRecordConsumer& consumer);

// The value names the companion program as a file: the whole value or its last
// path component is its name, exactly (another file's name that merely holds
// it does not count).
bool NamesCompanionProgram(const std::string& value);
