#pragma once
#include <cstdint>
#include <optional>
#include <string>

// Where the archive inside a self-extracting program file starts, if it carries
// one (FindEmbeddedArchiveIn on the file's bytes).
std::optional<uint64_t> FindEmbeddedArchive(const std::wstring& path);
