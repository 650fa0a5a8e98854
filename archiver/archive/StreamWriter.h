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
//
// A staged writer (an archive, a restored file) never touches a file that was
// there before until Commit: where a file of the name exists, it writes under a
// temporary name beside it ("~dz" + process + "-" + number + ".tmp", made only
// where no file is), which the system deletes when its handle closes, and Commit
// renames the new file over the old one; where none exists, it writes under the
// name itself, which costs no rename. Released without Commit, the writer removes
// what it made. A failed or cancelled run therefore leaves no file changed and
// none of its own; a killed one at most a part of a file where there was none.
class TMyStreamWriter final : public ComObject<IOutStream> {
public:
    TMyStreamWriter(uint32_t* errorTarget, const std::wstring& fileName, double fileDate, DWORD attributes,
                    uint32_t volumeSize, bool append, bool staged = false);
    // Creates (or, appending, opens) the first file; false with LastError set when
    // it cannot be created or stamped.
    bool Start();
    // Where the first file is written: the name to copy a self-extractor module to
    // before an appending Start.
    std::wstring FirstFileName() const;
    // Puts the files in place under their own names and closes them; false with
    // LastError set when a write failed or a file cannot be put in place (those
    // before it stay in place). With replaceReadOnly a read-only file of that name
    // is replaced too.
    bool Commit(bool replaceReadOnly = false);

    HRESULT STDMETHODCALLTYPE Write(const void* data, UINT32 size, UINT32* processed) override;
    HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 origin, UINT64* newPosition) override;
    HRESULT STDMETHODCALLTYPE SetSize(UINT64 newSize) override;

    uint32_t LastError() const { return m_lastError; }
    std::vector<std::wstring> VolumeNames() const;

private:
    ~TMyStreamWriter() override;
    // The name volume `number` (from 1) ends up with.
    std::wstring FileName(size_t number) const;
    static std::wstring StagingName(const std::wstring& finalName);
    bool CreateVolumeFile(TFiles& volume, size_t number);
    bool OpenVolumeFile(TFiles& volume, DWORD disposition, DWORD attributes);
    void Stamp(TFiles& volume) const;
    bool AddVolume();
    bool WriteVolumes(const uint8_t* data, UINT32 size, UINT32& done);

    uint32_t* m_errorTarget;
    std::wstring m_fileName;
    double m_fileDate;
    DWORD m_attributes;
    uint32_t m_volumeSize;
    bool m_append;
    bool m_staged;
    std::wstring m_firstName;  // where volume 1 is written
    bool m_committed = false;
    size_t m_placed = 0;  // volumes put in place by Commit
    // Staged volumes that the system does not delete on close: removed by name.
    std::vector<bool> m_removeByName;
    uint64_t m_position = 0;
    uint64_t m_size = 0;
    uint32_t m_lastError = 0;
    TArrayOfFiles m_volumes;
};
