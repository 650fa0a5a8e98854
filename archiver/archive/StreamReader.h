#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ComObject.h"
#include "OperationHost.h"
#include "SevenZipInterfaces.h"
#include "SevenZipSignature.h"
#include "Volume.h"
#include "WideFiles.h"

// One file as it is, or an archive's volumes (see the reader).
enum class TReaderVolumes { OneFile, MultiVolume };

// Where an archive starts: behind the self-extractor module of a program, whose
// volumes are then named after the program (NAME.exe.002...), or at its first byte.
struct TArchiveStart {
    bool SelfExtracting = false;
    uint64_t Offset = 0;
};

// The input stream the library reads: a file being added (single file), or an
// archive that may span numbered volumes and may sit behind a self-extractor.
//
// An archive reader does not know its size until it knows its last volume. The
// library asks for the size while opening, so the reader learns it then from the
// archive's start header in the first volume: an archive that ends inside the
// first volume is read as that one file; a longer one is read across the volumes,
// whose last one FindLastVolume locates first. Nothing past the archive's end is
// read, and no volume is asked for on its account.
//
// What goes wrong is reported to the host as it happens: a file being added that
// cannot be read in full, a volume cut short, a failed read of the archive.
// Without a host, a missing volume is asked for in a dialog of no window's.
class TMyStreamReader final : public ComObject<IInStream, IStreamGetSize> {
public:
    TMyStreamReader(TOperationHost* host, TReaderVolumes volumes, const std::wstring& fileName,
                    TArchiveStart start = {});

    HRESULT STDMETHODCALLTYPE Read(void* data, UINT32 size, UINT32* processed) override;
    HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 origin, UINT64* newPosition) override;
    HRESULT STDMETHODCALLTYPE GetSize(UINT64* size) override;

    // The system's error of the last failure, the first file's open included.
    uint32_t LastError() const { return m_lastError; }
    bool Spanning() const { return m_spanning; }
    // A volume of the set holds fewer bytes than the set needs (reported to the
    // host as error 19 with its name): the open failed for that, not for a
    // missing or damaged archive.
    bool ShortVolumeFound() const { return m_shortVolumeFound; }
    // The volume that was not there and was not supplied (the handler or the user
    // declined, or a numbered run ended before the set did); empty when none was.
    const std::wstring& MissingVolume() const { return m_missingVolume; }
    // Open volumes, for the rule that a spanning read keeps only its current one.
    size_t OpenVolumeCount() const;
    // The archive's start header, as read across the first volumes; false when it
    // cannot be read (a file shorter than one).
    bool StartHeader(TStartHeader& header);
    // The names of the archive's files: the first, and once the set is known, every
    // volume up to its last.
    std::vector<std::wstring> VolumeNames() const;

    // Where every read of a file goes: a test puts a failing function here, as a
    // bad sector would fail a read.
    using ReadFunction = bool (*)(HANDLE file, uint64_t offset, void* data, DWORD count, DWORD& done);
    static inline ReadFunction ReadFromFile = ReadAt;

private:
    ~TMyStreamReader() override = default;

    bool LearnSize();
    bool ReadStartHeader(TStartHeader& header) const;
    bool NumberedVolumes() const;
    bool FindLastVolume();
    std::wstring ProbeLastVolume() const;
    bool BelongsToSet(const std::wstring& candidate) const;
    void ExtendVolumes(size_t count);
    bool OpenVolume(size_t number);
    // OpenVolume for a read, which past the last volume found first checks
    // whether the set is short rather than incomplete.
    bool OpenVolumeToRead(size_t number);
    bool FindShortVolume();
    std::wstring BuildVolumeName(size_t number) const;
    bool FindVolume(std::wstring& name, bool removable, const wchar_t* prompt);
    bool HandlesMissingVolumes() const { return m_host != nullptr && m_host->HandlesMissingVolumes(); }
    void ReadFailed(uint32_t error);
    HRESULT ReadSpanning(uint8_t* data, UINT32 size, UINT32& done);
    void CloseVolumesExcept(size_t index);

    TOperationHost* m_host;
    std::wstring m_fileName;
    uint64_t m_position = 0;
    uint64_t m_start = 0;  // where the archive begins (behind a self-extractor)
    uint64_t m_size = 0;
    bool m_sizeKnown = false;
    TArrayOfFiles m_volumes;
    bool m_multiVolume;
    bool m_selfExtracting = false;
    bool m_spanning = false;
    bool m_learningFailed = false;
    size_t m_lastVolume = 0;  // the number of the last volume, once found
    bool m_shortVolumeFound = false;
    std::wstring m_missingVolume;
    TStartHeader m_startHeader{};
    bool m_startHeaderRead = false;
    uint32_t m_lastError = 0;
};
