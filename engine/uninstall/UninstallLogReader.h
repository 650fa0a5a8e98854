#pragma once
#include <functional>
#include <string>

#include "UninstallLogRecord.h"

using LogRecordConsumer = std::function<void(const UninstallLogRecord&)>;

// Reads the uninstall log in text mode, a piece of at most 1023 characters at a
// time (a longer line arrives as several records), and hands every record to the
// consumer in file order. A value naming the special product's companion program
// sets the product's companion-seen flag. False when the file cannot be opened,
// which callers treat as an empty log.
bool ReadUninstallLog(const std::string& path, const LogRecordConsumer& consumer);
