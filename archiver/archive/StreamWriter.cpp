#include "StreamWriter.h"

#include <algorithm>
#include <atomic>

#include "FileTimes.h"
#include "StreamPosition.h"
#include "WideFiles.h"
#include "WidePath.h"

namespace {
// Until Commit a temporary file goes with its last handle, whichever way the
// program ends. False where the system cannot (a read-only copy of the module).
bool DeleteOnClose(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO disposition{static_cast<BOOLEAN>(remove)};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

// Renames the open file over the target (File Management: FILE_RENAME_INFO), one
// call where a move by name would open the file once more.
bool RenameOpenFile(HANDLE file, const std::wstring& target) {
    std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t), 0);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::copy(target.begin(), target.end(), rename->FileName);
    return ::SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != FALSE;
}

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
                                 DWORD attributes, uint32_t volumeSize, bool append, bool staged)
    : m_errorTarget(errorTarget),
      m_fileName(fileName),
      m_fileDate(fileDate),
      m_attributes(attributes),
      m_volumeSize(volumeSize),
      m_append(append),
      m_staged(staged),
      // The module copy is made before Start: always a name of the writer's own.
      m_firstName(staged && append ? StagingName(FileName(1)) : FileName(1)) {}

bool TMyStreamWriter::Start() { return AddVolume(); }

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

bool TMyStreamWriter::Commit(bool replaceReadOnly) {
    // What a failed write left incomplete never takes the place of a file.
    if (m_lastError != 0) return false;
    for (; m_placed < m_volumes.size(); ++m_placed) {
        TFiles& volume = m_volumes[m_placed];
        const std::wstring target = FileName(m_placed + 1);
        if (m_staged && volume.Handle && volume.Name != target) {
            DeleteOnClose(volume.Handle.Get(), false);
            const std::wstring to = FileApiPath(target);
            if (!RenameOpenFile(volume.Handle.Get(), to) &&
                !(replaceReadOnly && RenameOverReadOnly(volume.Handle.Get(), to))) {
                m_lastError = ::GetLastError();
                // What is still staged goes with the writer.
                m_removeByName[m_placed] = !DeleteOnClose(volume.Handle.Get(), true);
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

std::vector<std::wstring> TMyStreamWriter::VolumeNames() const {
    std::vector<std::wstring> names;
    for (size_t i = 0; i < m_volumes.size(); ++i) names.push_back(FileName(i + 1));
    return names;
}

std::wstring TMyStreamWriter::FileName(size_t number) const {
    return m_volumeSize > 0 && !(m_append && number == 1) ? m_fileName + L"." + VolumeNumber(number) : m_fileName;
}

std::wstring TMyStreamWriter::StagingName(const std::wstring& finalName) {
    // Unique to the process and the file: two writers never share one. Not made
    // from the file's own name, which may already be as long as a name can be.
    static std::atomic<unsigned> files{0};
    return DirectoryPart(finalName) + L"~dz" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++files) + L".tmp";
}

std::wstring TMyStreamWriter::FirstFileName() const { return m_firstName; }

bool TMyStreamWriter::AddVolume() {
    const size_t number = m_volumes.size() + 1;
    TFiles& volume = m_volumes.emplace_back();
    m_removeByName.push_back(false);
    if (!CreateVolumeFile(volume, number)) {
        m_lastError = ::GetLastError();
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
        m_removeByName.back() = volume.Name == FileName(number) || !DeleteOnClose(volume.Handle.Get(), true);
        return true;  // stamped when it is put in place
    }
    if (DWORD error = StampLastWriteTime(volume.Handle.Get(), m_fileDate)) {
        m_lastError = error;
        return false;
    }
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
    if (OpenVolumeFile(volume, CREATE_NEW, attributes)) return true;
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
        UINT32 done = 0;
        if (m_volumeSize > 0) {
            WriteVolumes(static_cast<const uint8_t*>(data), size, done);
        } else if (!m_volumes.empty() && m_volumes[0].Handle) {
            DWORD written = 0;
            if (!WriteAt(m_volumes[0].Handle.Get(), m_position, data, size, written)) {
                m_lastError = ::GetLastError();
                written = 0;
            }
            done = written;
        }
        m_position += done;
        m_size = std::max(m_size, m_position);
        if (processed != nullptr) *processed = done;
        return m_lastError != 0 ? S_FALSE : S_OK;
    });
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
        if (!WriteAt(m_volumes[index].Handle.Get(), offset, data + done, chunk, written)) {
            m_lastError = ::GetLastError();
            return false;
        }
        done += written;
        if (written < chunk) {
            m_lastError = ERROR_WRITE_FAULT;
            return false;
        }
        offset = 0;
        ++index;
    }
    return true;
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
