#pragma once
#include <cstdint>
#include <optional>
#include <string>

// Where the archive inside a self-extracting program starts, if it carries one.
// The block from 64 KiB on is searched for the 7z signature first (small modules
// of old); then the program's headers are read, and the archive is looked for
// right after the raw data of the last section, where 7-Zip puts it behind the
// shipped "7z.sfx" and behind its own -sfx modules.
std::optional<uint64_t> FindEmbeddedArchive(const std::wstring& path);
