#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

// Bytes read at absolute offsets, from a file or from memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads up to count bytes at offset (inside the source); the bytes read.
    virtual size_t ReadAt(uint64_t offset, void* buffer, size_t count) = 0;
};

// Where the archive inside a self-extracting program starts, if it carries one.
// The block from 64 KiB on is searched for the 7z signature first (small modules
// of old); then the program's headers are read, and the archive is looked for
// where the program image ends, where 7-Zip puts it behind the shipped "7z.sfx"
// and behind its own -sfx modules: after the raw data of the last section, or
// after the certificate table of a signed module. Every read lies inside the
// source, whatever its headers claim.
std::optional<uint64_t> FindEmbeddedArchiveIn(ByteSource& program);
