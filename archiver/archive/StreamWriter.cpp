#include "StreamWriter.h"

#include <algorithm>
#include <atomic>

#include "FileTimes.h"
#include "StreamPosition.h"
#include "WideFiles.h"
#include "WidePath.h"

namespace {
// Until Commit a staged file goes with its last handle: the system removes it
// whichever way the program ends. Best effort: a file that cannot be so marked
// (a read-only copy of the self-extractor module) is still removed on release.
void DeleteOnClose(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO disposition{remove ? TRUE : FALSE};
    ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
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
      m_firstName(staged ? StagingName(FileName(1)) : FileName(1)) {}

bool TMyStreamWriter::Start() { return AddVolume(); }

TMyStreamWriter::~TMyStreamWriter() {
    if (m_staged && !m_committed) {
        for (size_t i = 0; i < m_volumes.size(); ++i) {
            TFiles& volume = m_volumes[i];
            volume.Close();
            // A volume already moved by a Commit that failed later stays.
            if (volume.Name != FileName(i + 1)) ::DeleteFileW(FileApiPath(volume.Name).c_str());
        }
    } else {
        for (TFiles& volume : m_volumes) Stamp(volume);
    }
    if (m_errorTarget != nullptr && m_lastError != 0) *m_errorTarget = m_lastError;
}

void TMyStreamWriter::Stamp(TFiles& volume) const {
    if (!volume.Handle) return;
    // Writing moves a file's time on; the date is set once more after the last
    // write. A file that existed before keeps its old attributes when it is
    // created anew, and a staged file is made without them, so they are set here too.
    StampLastWriteTime(volume.Handle.Get(), m_fileDate);
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = m_attributes;
    if (m_attributes != 0) ::SetFileInformationByHandle(volume.Handle.Get(), FileBasicInfo, &basic, sizeof basic);
}

bool TMyStreamWriter::Commit(bool replaceReadOnly) {
    // What a failed write left incomplete never takes the place of a file.
    if (m_lastError != 0) return false;
    for (TFiles& volume : m_volumes) {
        if (m_staged && volume.Handle) DeleteOnClose(volume.Handle.Get(), false);
        Stamp(volume);
        volume.Close();
    }
    m_committed = true;
    if (!m_staged) return true;
    for (size_t i = 0; i < m_volumes.size(); ++i) {
        const std::wstring target = FileName(i + 1);
        if (!MoveInPlace(m_volumes[i], target, replaceReadOnly)) {
            m_lastError = ::GetLastError();
            m_committed = false;  // what is still staged goes with the writer
            return false;
        }
        m_volumes[i].Name = target;
    }
    return true;
}

bool TMyStreamWriter::MoveInPlace(TFiles& volume, const std::wstring& target, bool replaceReadOnly) {
    const std::wstring from = FileApiPath(volume.Name), to = FileApiPath(target);
    constexpr DWORD kReplace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (::MoveFileExW(from.c_str(), to.c_str(), kReplace)) return true;
    // A read-only file is not replaced by a move; only now, with the new file
    // complete, is the old one's protection lifted (and put back when the move
    // still fails).
    const DWORD error = ::GetLastError();
    const DWORD existing = replaceReadOnly ? ::GetFileAttributesW(to.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (error != ERROR_ACCESS_DENIED || existing == INVALID_FILE_ATTRIBUTES ||
        (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != FILE_ATTRIBUTE_READONLY ||
        !::SetFileAttributesW(to.c_str(), existing & ~FILE_ATTRIBUTE_READONLY)) {
        ::SetLastError(error);
        return false;
    }
    if (::MoveFileExW(from.c_str(), to.c_str(), kReplace)) return true;
    const DWORD again = ::GetLastError();
    ::SetFileAttributesW(to.c_str(), existing);
    ::SetLastError(again);
    return false;
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
    if (!CreateVolumeFile(volume, number)) {
        m_lastError = ::GetLastError();
        // Not made here, so not the writer's to remove (the module copy of a
        // self-extractor is: the writer was to append to it).
        if (m_staged && !(m_append && number == 1)) m_volumes.pop_back();
        return false;
    }
    if (m_staged) {
        DeleteOnClose(volume.Handle.Get(), true);
        return true;  // stamped when it is put in place
    }
    if (DWORD error = StampLastWriteTime(volume.Handle.Get(), m_fileDate)) {
        m_lastError = error;
        return false;
    }
    return true;
}

bool TMyStreamWriter::CreateVolumeFile(TFiles& volume, size_t number) {
    const DWORD access = GENERIC_READ | GENERIC_WRITE | (m_staged ? DELETE : 0);
    volume.Name = number == 1 ? m_firstName : (m_staged ? StagingName(FileName(number)) : FileName(number));
    if (m_append && number == 1) {
        volume.Handle.Reset(::CreateFileW(FileApiPath(volume.Name).c_str(), access, 0, nullptr, OPEN_EXISTING,
                                          m_attributes, nullptr));
        if (volume.Handle) {
            FileLength(volume.Handle.Get(), volume.Size);
            m_position = m_size = volume.Size;
        }
        return bool(volume.Handle);
    }
    if (!m_staged) {
        volume.Handle.Reset(::CreateFileW(FileApiPath(volume.Name).c_str(), access, 0, nullptr, CREATE_ALWAYS,
                                          m_attributes, nullptr));
        return bool(volume.Handle);
    }
    // A staged name is the writer's own: a file already there is someone else's,
    // and another name is taken. Read-only comes with Commit, so that the file
    // can be removed until then.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (attempt > 0) volume.Name = StagingName(FileName(number));
        volume.Handle.Reset(::CreateFileW(FileApiPath(volume.Name).c_str(), access, 0, nullptr, CREATE_NEW,
                                          m_attributes & ~FILE_ATTRIBUTE_READONLY, nullptr));
        if (volume.Handle || ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (number == 1) m_firstName = volume.Name;
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
