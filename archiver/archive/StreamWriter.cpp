#include "StreamWriter.h"

#include <algorithm>

#include "FileIdentity.h"
#include "FileTimes.h"
#include "StagedFiles.h"
#include "StreamPosition.h"
#include "WideFiles.h"
#include "WidePath.h"

namespace {
// A read-only file is not replaced by a rename; only now, with the new file
// complete, is the old one's protection lifted (and put back when it still fails).
bool RenameOverReadOnly(HANDLE file, const std::wstring& target) {
    const DWORD error = ::GetLastError();
    const DWORD existing = ::GetFileAttributesW(target.c_str());
    if (error != ERROR_ACCESS_DENIED || existing == INVALID_FILE_ATTRIBUTES ||
        (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != FILE_ATTRIBUTE_READONLY ||
        !::SetFileAttributesW(target.c_str(), existing & ~FILE_ATTRIBUTE_READONLY)) {
        ::SetLastError(error);
        return false;
    }
    if (RenameOpenFile(file, target)) return true;
    const DWORD again = ::GetLastError();
    ::SetFileAttributesW(target.c_str(), existing);
    ::SetLastError(again);
    return false;
}
}  // namespace

TMyStreamWriter::TMyStreamWriter(uint32_t* errorTarget, const std::wstring& fileName, double fileDate,
                                 DWORD attributes, TWriterOptions options)
    : m_errorTarget(errorTarget),
      m_fileName(fileName),
      m_fileDate(fileDate),
      m_attributes(attributes),
      m_volumeSize(options.VolumeSize),
      m_append(options.Append),
      m_staged(options.Staged),
      // The module copy is made before Start: always a name of the writer's own.
      m_firstName(m_staged && m_append ? StagingName(FileName(1)) : FileName(1)) {}

void TMyStreamWriter::ReplaceAsSet() { m_staged = m_asSet = true; }

bool TMyStreamWriter::Start() {
    if (!AddVolume()) return false;
    m_archiveStart = m_position;
    return true;
}

bool TMyStreamWriter::ReplacesExisting() const {
    return m_staged && !m_asSet && !m_append && !m_volumes.empty() && m_volumes[0].Name != FileName(1);
}

uint64_t TMyStreamWriter::FileNumber() const {
    return !m_volumes.empty() && m_volumes[0].Handle ? FileNumberOf(m_volumes[0].Handle.Get()) : 0;
}

bool TMyStreamWriter::Fail(size_t number, DWORD error) {
    // The first failure is the one to tell: what follows from it says less.
    if (m_lastError == 0) {
        m_lastError = error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
        m_failedName = FileName(number);
    }
    return false;
}

bool TMyStreamWriter::FailWrite(size_t number, DWORD error) {
    if (m_lastError == 0) m_writeFailed = true;
    return Fail(number, error);
}

TMyStreamWriter::~TMyStreamWriter() {
    if (!m_staged) {
        for (TFiles& volume : m_volumes) Stamp(volume);
    } else if (!m_committed) {
        // What is not in place was made by the writer (or, appending, copied for it).
        for (size_t i = m_placed; i < m_volumes.size(); ++i) {
            m_volumes[i].Close();
            if (m_removeByName[i]) ::DeleteFileW(FileApiPath(m_volumes[i].Name).c_str());
        }
    }
    if (m_errorTarget != nullptr && m_lastError != 0) *m_errorTarget = m_lastError;
}

void TMyStreamWriter::Stamp(TFiles& volume) const {
    if (!volume.Handle) return;
    // Writing moves a file's time on; the date is set once more after the last
    // write. A file that existed before keeps its old attributes when it is
    // created anew, and a staged file is made without them, so they are set here
    // too, in the same call.
    FILE_BASIC_INFO basic{};
    FILETIME written{};
    if (LastWriteTimeFromDate(m_fileDate, written) == 0) {
        basic.LastWriteTime.LowPart = written.dwLowDateTime;
        basic.LastWriteTime.HighPart = static_cast<LONG>(written.dwHighDateTime);
    }
    basic.FileAttributes = m_attributes;
    if (basic.LastWriteTime.QuadPart != 0 || m_attributes != 0)
        ::SetFileInformationByHandle(volume.Handle.Get(), FileBasicInfo, &basic, sizeof basic);
}

bool TMyStreamWriter::Commit(TReadOnlyTarget readOnly) {
    // What a failed write left incomplete never takes the place of a file.
    if (m_lastError != 0) return false;
    if (m_asSet) return CommitSet();
    for (; m_placed < m_volumes.size(); ++m_placed) {
        TFiles& volume = m_volumes[m_placed];
        const std::wstring target = FileName(m_placed + 1);
        if (m_staged && volume.Handle && volume.Name != target) {
            KeepOnClose(volume.Handle.Get());
            const std::wstring to = FileApiPath(target);
            if (!RenameOpenFile(volume.Handle.Get(), to) &&
                !(readOnly == TReadOnlyTarget::Replace && RenameOverReadOnly(volume.Handle.Get(), to))) {
                Fail(m_placed + 1, ::GetLastError());
                // What is still staged goes with the writer.
                m_removeByName[m_placed] = !DeleteOnClose(volume.Handle.Get());
                return false;
            }
            volume.Name = target;
        }
        Stamp(volume);
        volume.Close();
    }
    m_committed = true;
    return true;
}

bool TMyStreamWriter::CommitSet() {
    TFilesSetAside old;
    DWORD error = ERROR_SUCCESS;
    for (size_t number = 1;; ++number) {
        if (number > m_volumes.size() && (m_volumeSize == 0 || !PathExists(FileName(number)))) break;
        if (!old.SetAside(FileName(number), error)) return Fail(number, error);
    }
    for (; m_placed < m_volumes.size(); ++m_placed) {
        HANDLE file = m_volumes[m_placed].Handle.Get();
        KeepOnClose(file);
        if (RenameOpenFile(file, FileApiPath(FileName(m_placed + 1)), TNameTaken::Fail)) continue;
        error = ::GetLastError();
        const size_t failed = m_placed + 1;
        DeleteOnClose(file);
        // Those in place give their names back to the old files.
        while (m_placed > 0) {
            TFiles& placed = m_volumes[--m_placed];
            RenameOpenFile(placed.Handle.Get(), FileApiPath(placed.Name), TNameTaken::Fail);
            DeleteOnClose(placed.Handle.Get());
        }
        return Fail(failed, error);
    }
    old.Discard();
    for (size_t i = 0; i < m_volumes.size(); ++i) {
        m_volumes[i].Name = FileName(i + 1);
        Stamp(m_volumes[i]);
        m_volumes[i].Close();
    }
    m_committed = true;
    return true;
}

std::vector<std::wstring> TMyStreamWriter::VolumeNames() const {
    std::vector<std::wstring> names;
    for (size_t i = 0; i < m_volumes.size(); ++i) names.push_back(FileName(i + 1));
    return names;
}

std::wstring TMyStreamWriter::FileName(size_t number) const {
    return m_volumeSize > 0 && !(m_append && number == 1) ? m_fileName + L"." + VolumeNumber(number) : m_fileName;
}

std::wstring TMyStreamWriter::FirstFileName() const { return m_firstName; }

bool TMyStreamWriter::AddVolume() {
    const size_t number = m_volumes.size() + 1;
    TFiles& volume = m_volumes.emplace_back();
    m_removeByName.push_back(false);
    if (!CreateVolumeFile(volume, number)) {
        Fail(number, ::GetLastError());
        // Not made here, so not the writer's to remove (the module copy of a
        // self-extractor is: the writer was to append to it).
        if (m_staged && !(m_append && number == 1)) {
            m_volumes.pop_back();
            m_removeByName.pop_back();
        } else {
            m_removeByName.back() = m_staged;
        }
        return false;
    }
    if (m_staged) {
        // A file under its own name, where none was, is only removed on release:
        // asking the system for more would cost every restored file two more calls.
        m_removeByName.back() = volume.Name == FileName(number) || !DeleteOnClose(volume.Handle.Get());
        return true;  // stamped when it is put in place
    }
    if (DWORD error = StampLastWriteTime(volume.Handle.Get(), m_fileDate)) return Fail(number, error);
    return true;
}

bool TMyStreamWriter::OpenVolumeFile(TFiles& volume, DWORD disposition, DWORD attributes) {
    const DWORD access = GENERIC_READ | GENERIC_WRITE | (m_staged ? DELETE : 0);
    volume.Handle.Reset(
        ::CreateFileW(FileApiPath(volume.Name).c_str(), access, 0, nullptr, disposition, attributes, nullptr));
    return bool(volume.Handle);
}

bool TMyStreamWriter::CreateVolumeFile(TFiles& volume, size_t number) {
    if (m_append && number == 1) {
        volume.Name = m_firstName;
        if (!OpenVolumeFile(volume, OPEN_EXISTING, m_attributes)) return false;
        FileLength(volume.Handle.Get(), volume.Size);
        m_position = m_size = volume.Size;
        return true;
    }
    volume.Name = FileName(number);
    if (!m_staged) return OpenVolumeFile(volume, CREATE_ALWAYS, m_attributes);
    // Read-only comes with Commit, so that the file can be removed until then.
    const DWORD attributes = m_attributes & ~FILE_ATTRIBUTE_READONLY;
    if (!m_asSet && OpenVolumeFile(volume, CREATE_NEW, attributes)) return true;
    // Something is there (or a staging name is taken): a name of the writer's own.
    for (int attempt = 0; attempt < 100; ++attempt) {
        volume.Name = StagingName(FileName(number));
        if (OpenVolumeFile(volume, CREATE_NEW, attributes) || ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return bool(volume.Handle);
}

HRESULT STDMETHODCALLTYPE TMyStreamWriter::Write(const void* data, UINT32 size, UINT32* processed) {
    return GuardedCall([&]() -> HRESULT {
        if (processed != nullptr) *processed = 0;
        KeepStartHeader(static_cast<const uint8_t*>(data), size);
        UINT32 done = 0;
        if (m_volumeSize > 0) {
            WriteVolumes(static_cast<const uint8_t*>(data), size, done);
        } else if (!m_volumes.empty() && m_volumes[0].Handle) {
            DWORD written = 0;
            // What was written of a failed write counts for nothing.
            if (WriteWhole(1, m_position, static_cast<const uint8_t*>(data), size, written)) done = size;
        }
        m_position += done;
        m_size = std::max(m_size, m_position);
        if (processed != nullptr) *processed = done;
        return m_lastError != 0 ? S_FALSE : S_OK;
    });
}

void TMyStreamWriter::KeepStartHeader(const uint8_t* data, UINT32 size) {
    const uint64_t from = std::max(m_position, m_archiveStart);
    const uint64_t to = std::min(m_position + size, m_archiveStart + kStartHeaderSize);
    if (from < to)
        std::copy(data + (from - m_position), data + (to - m_position), m_startHeader.begin() + (from - m_archiveStart));
}

bool TMyStreamWriter::WriteVolumes(const uint8_t* data, UINT32 size, UINT32& done) {
    const uint64_t volumeSize = m_volumeSize;
    // A write that ends exactly on a boundary already creates the next volume.
    const uint64_t last = (m_position + size) / volumeSize;
    while (m_volumes.size() < last + 1)
        if (!AddVolume()) return false;
    size_t index = static_cast<size_t>(m_position / volumeSize);
    uint64_t offset = m_position % volumeSize;
    while (done < size) {
        DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(size - done, volumeSize - offset));
        DWORD written = 0;
        // What was written of a failed chunk counts for nothing.
        if (!WriteWhole(index + 1, offset, data + done, chunk, written)) return false;
        done += written;
        offset = 0;
        ++index;
    }
    return true;
}

bool TMyStreamWriter::WriteWhole(size_t number, uint64_t offset, const uint8_t* data, DWORD count, DWORD& done) {
    done = 0;
    HANDLE file = m_volumes[number - 1].Handle.Get();
    while (done < count) {
        DWORD written = 0;
        // A short write goes on where it stopped, and the next one tells why: a
        // file system that takes what fits (as POSIX ones do) says that the disk
        // is full only then.
        if (!WriteToFile(file, offset + done, data + done, count - done, written))
            return FailWrite(number, ::GetLastError());
        if (written == 0) return FailWrite(number, WhyNothingWritten(number));
        done += written;
    }
    return true;
}

DWORD TMyStreamWriter::WhyNothingWritten(size_t number) const {
    // Nothing taken and no error given: the system still knows whether the disk is full.
    ULARGE_INTEGER available{};
    const std::wstring folder = DirectoryPart(FullPath(m_volumes[number - 1].Name));
    if (::GetDiskFreeSpaceExW(FileApiPath(folder).c_str(), &available, nullptr, nullptr) && available.QuadPart == 0)
        return ERROR_DISK_FULL;
    return ERROR_WRITE_FAULT;
}

HRESULT STDMETHODCALLTYPE TMyStreamWriter::Seek(INT64 offset, UINT32 origin, UINT64* newPosition) {
    uint64_t base = 0;
    switch (origin) {
    case STREAM_SEEK_SET: break;
    case STREAM_SEEK_CUR: base = m_position; break;
    case STREAM_SEEK_END: base = m_size; break;
    default: return STG_E_INVALIDFUNCTION;
    }
    if (HRESULT refused = SeekTarget(base, offset, m_position)) return refused;
    m_size = std::max(m_size, m_position);
    if (newPosition != nullptr) *newPosition = m_position;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TMyStreamWriter::SetSize(UINT64) { return S_FALSE; }
