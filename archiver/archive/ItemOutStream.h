#pragma once
#include <cstdint>

#include "ComObject.h"
#include "SevenZipInterfaces.h"
#include "StreamWriter.h"

// What the library writes one restored file through. A write that fails (a full
// disk) fails that file alone: the error is kept for the item's result, and the
// library, told that every byte was taken, decodes on, so that the items after it
// in a solid block are not lost with it.
class TItemOutStream final : public ComObject<ISequentialOutStream> {
public:
    explicit TItemOutStream(ComPtr<TMyStreamWriter> file) : m_file(std::move(file)) {}

    HRESULT STDMETHODCALLTYPE Write(const void* data, UINT32 size, UINT32* processed) override;

    // The file system's number of the file, while it is open.
    uint64_t FileNumber() const { return m_file->FileNumber(); }
    // The system's error of the first write that failed, 0 when none did.
    uint32_t WriteError() const { return m_writeError; }
    // Puts the file in place, over a read-only one too; false with the error.
    bool Commit(uint32_t& error);

private:
    ComPtr<TMyStreamWriter> m_file;
    uint32_t m_writeError = 0;
};
