#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ComObject.h"
#include "SevenZipInterfaces.h"
#include "Volume.h"

// The output stream the library writes: an archive (one file, numbered volumes cut
// at absolute multiples of the volume size, or appended to a copy of the
// self-extractor module) or an extracted file. Every file it creates carries the
// given date; an error is kept and handed to the error target on release.
class TMyStreamWriter final : public ComObject<IOutStream> {
public:
    TMyStreamWriter(uint32_t* errorTarget, const std::wstring& fileName, double fileDate, DWORD attributes,
                    uint32_t volumeSize, bool append);
    // Creates (or, appending, opens) the first file; false with LastError set when
    // it cannot be created or stamped.
    bool Start();

    HRESULT STDMETHODCALLTYPE Write(const void* data, UINT32 size, UINT32* processed) override;
    HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 origin, UINT64* newPosition) override;
    HRESULT STDMETHODCALLTYPE SetSize(UINT64 newSize) override;

    uint32_t LastError() const { return m_lastError; }
    std::vector<std::wstring> VolumeNames() const;

private:
    ~TMyStreamWriter() override;
    bool AddVolume();
    bool WriteVolumes(const uint8_t* data, UINT32 size, UINT32& done);

    uint32_t* m_errorTarget;
    std::wstring m_fileName;
    double m_fileDate;
    DWORD m_attributes;
    uint32_t m_volumeSize;
    bool m_append;
    uint64_t m_position = 0;
    uint64_t m_size = 0;
    uint32_t m_lastError = 0;
    TArrayOfFiles m_volumes;
};
