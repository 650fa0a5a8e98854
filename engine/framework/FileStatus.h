#pragma once
#include <string>

// True when the C runtime can read a status for the path: it exists and is
// shorter than 260 characters. The engine's existence tests all mean this.
bool HasFileStatus(const std::string& path);
