#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ComObject.h"
#include "SevenZipInterfaces.h"
#include "SevenZipSignature.h"
#include "Volume.h"
#include "WideFiles.h"

// How a writer makes its files.
struct TWriterOptions {
    uint32_t VolumeSize = 0;  // 0: one file; else numbered volumes of this size
    // The first file is there already (the self-extractor's module copy) and is
    // extended rather than created.
    bool Append = false;
    // Staged (see the writer): nothing that was there changes before Commit.
    bool Staged = false;
};

// Whether Commit replaces a read-only file of a name as well: a restored file's
// user asked for it, an archive's owner kept it.
enum class TReadOnlyTarget { Keep, Replace };

// The output stream the library writes: an archive (one file, numbered volumes cut
// at absolute multiples of the volume size, or appended to a copy of the
// self-extractor module) or an extracted file. Every file it creates carries the
// given date; an error is kept and handed to the error target on release.
//
// A staged writer (a restored file, an archive) never touches a file that was
// there before until Commit: where a file of the name exists, it writes under a
// temporary name beside it ("~dz" + process + "-" + number + ".tmp", made only
// where no file is), which the system deletes when its handle closes, and Commit
// renames the new file over the old one; where none exists, it writes under the
// name itself, which costs no rename. Released without Commit, the writer removes
// what it made. A failed or cancelled run therefore leaves no file changed and
// none of its own; a killed one at most a part of a file where there was none
// (an archive's writer, which replaces a set, not even that).
class TMyStreamWriter final : public ComObject<IOutStream> {
public:
    TMyStreamWriter(uint32_t* errorTarget, const std::wstring& fileName, double fileDate, DWORD attributes,
                    TWriterOptions options = {});
    // Before Start, for an archive: every file is written under a name of the
    // writer's own, and Commit gives all of them their names or none. The old files
    // of those names, and the old set's volumes beyond the new count (which would
    // read as part of the new set), are moved aside first and deleted only when
    // every new file is in place; whatever fails, they come back whole.
    void ReplaceAsSet();
    // Creates (or, appending, opens) the first file; false with LastError set when
    // it cannot be created or stamped.
    bool Start();
    // Where the first file is written: the name to copy a self-extractor module to
    // before an appending Start.
    std::wstring FirstFileName() const;
    // Puts the files in place under their own names and closes them; false with
    // LastError set when a write failed or a file cannot be put in place (those
    // before it stay in place).
    bool Commit(TReadOnlyTarget readOnly = TReadOnlyTarget::Keep);

    HRESULT STDMETHODCALLTYPE Write(const void* data, UINT32 size, UINT32* processed) override;
    HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 origin, UINT64* newPosition) override;
    HRESULT STDMETHODCALLTYPE SetSize(UINT64 newSize) override;

    uint32_t LastError() const { return m_lastError; }
    // The file (by the name it was to have) that LastError is about, and whether a
    // write failed (a full disk) rather than a file could not be made or put in place.
    const std::wstring& FailedFileName() const { return m_failedName; }
    bool WriteFailed() const { return m_writeFailed; }
    std::vector<std::wstring> VolumeNames() const;
    // After Start: a file of the name is there, which Commit would replace (a
    // staged writer of one file).
    bool ReplacesExisting() const;
    // The file system's number of the first file, while it is open (0 when the
    // system gives none): that of the file Commit puts in place.
    uint64_t FileNumber() const;
    // The 32 bytes last written where the archive begins (behind a self-extractor's
    // module): the start header, which the library writes last.
    const TStartHeader& StartHeader() const { return m_startHeader; }

    // The one place where bytes reach a file: a test puts a failing function here
    // to stand for a full disk where it cannot mount a small file system.
    using WriteFunction = bool (*)(HANDLE file, uint64_t offset, const void* data, DWORD count, DWORD& done);
    static inline WriteFunction WriteToFile = WriteAt;

private:
    ~TMyStreamWriter() override;
    // The name volume `number` (from 1) ends up with.
    std::wstring FileName(size_t number) const;
    bool CreateVolumeFile(TFiles& volume, size_t number);
    bool OpenVolumeFile(TFiles& volume, DWORD disposition, DWORD attributes);
    void Stamp(TFiles& volume) const;
    bool AddVolume();
    bool WriteVolumes(const uint8_t* data, UINT32 size, UINT32& done);
    void KeepStartHeader(const uint8_t* data, UINT32 size);
    // All of it at the offset of volume `number` (from 1), however many writes it
    // takes; false when one fails, with the system's reason.
    bool WriteWhole(size_t number, uint64_t offset, const uint8_t* data, DWORD count, DWORD& done);
    DWORD WhyNothingWritten(size_t number) const;
    bool CommitSet();
    // The first failure is kept: a file that could not be made or put in place,
    // or a write that failed.
    bool Fail(size_t number, DWORD error);
    bool FailWrite(size_t number, DWORD error);

    uint32_t* m_errorTarget;
    std::wstring m_fileName;
    double m_fileDate;
    DWORD m_attributes;
    uint32_t m_volumeSize;
    bool m_append;
    bool m_staged;
    bool m_asSet = false;
    std::wstring m_firstName;  // where volume 1 is written
    bool m_committed = false;
    size_t m_placed = 0;  // volumes put in place by Commit
    // Staged volumes that the system does not delete on close: removed by name.
    std::vector<bool> m_removeByName;
    uint64_t m_position = 0;
    uint64_t m_size = 0;
    uint64_t m_archiveStart = 0;  // where Start left the position
    TStartHeader m_startHeader{};
    uint32_t m_lastError = 0;
    std::wstring m_failedName;
    bool m_writeFailed = false;
    TArrayOfFiles m_volumes;
};
