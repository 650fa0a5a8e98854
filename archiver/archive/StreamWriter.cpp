#include "StreamWriter.h"

#include <algorithm>
#include <atomic>

#include "FileTimes.h"
#include "StreamPosition.h"
#include "WideFiles.h"
#include "WidePath.h"

TMyStreamWriter::TMyStreamWriter(uint32_t* errorTarget, const std::wstring& fileName, double fileDate,
                                 DWORD attributes, uint32_t volumeSize, bool append, bool staged)
    : m_errorTarget(errorTarget),
      m_fileName(fileName),
      m_fileDate(fileDate),
      m_attributes(attributes),
      m_volumeSize(volumeSize),
      m_append(append) {
    if (staged) {
        // Unique to the process and the writer: two updates never share a file.
        static std::atomic<unsigned> writers{0};
        m_stagingSuffix = L".~" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++writers);
    }
}

bool TMyStreamWriter::Start() { return AddVolume(); }

TMyStreamWriter::~TMyStreamWriter() {
    if (!m_stagingSuffix.empty() && !m_committed) {
        for (TFiles& volume : m_volumes) {
            volume.Close();
            // A volume already moved by a Commit that failed later stays.
            if (FinalName(volume) != volume.Name) ::DeleteFileW(FileApiPath(volume.Name).c_str());
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
    // created anew, so they are set here too.
    StampLastWriteTime(volume.Handle.Get(), m_fileDate);
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = m_attributes;
    if (m_attributes != 0) ::SetFileInformationByHandle(volume.Handle.Get(), FileBasicInfo, &basic, sizeof basic);
}

bool TMyStreamWriter::Commit() {
    for (TFiles& volume : m_volumes) {
        Stamp(volume);
        volume.Close();
    }
    m_committed = true;
    if (m_stagingSuffix.empty()) return true;
    for (TFiles& volume : m_volumes) {
        const std::wstring target = FinalName(volume);
        if (!::MoveFileExW(FileApiPath(volume.Name).c_str(), FileApiPath(target).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            m_lastError = ::GetLastError();
            m_committed = false;  // what is still staged goes with the writer
            return false;
        }
        volume.Name = target;
    }
    return true;
}

std::wstring TMyStreamWriter::FinalName(const TFiles& volume) const {
    if (m_stagingSuffix.empty() || volume.Name.size() < m_stagingSuffix.size() ||
        volume.Name.compare(volume.Name.size() - m_stagingSuffix.size(), std::wstring::npos, m_stagingSuffix) != 0)
        return volume.Name;
    return volume.Name.substr(0, volume.Name.size() - m_stagingSuffix.size());
}

std::vector<std::wstring> TMyStreamWriter::VolumeNames() const {
    std::vector<std::wstring> names;
    for (const TFiles& volume : m_volumes) names.push_back(FinalName(volume));
    return names;
}

std::wstring TMyStreamWriter::FileName(size_t number) const {
    std::wstring name = m_volumeSize > 0 && !(m_append && number == 1) ? m_fileName + L"." + VolumeNumber(number)
                                                                       : m_fileName;
    return name + m_stagingSuffix;
}

std::wstring TMyStreamWriter::FirstFileName() const { return FileName(1); }

bool TMyStreamWriter::AddVolume() {
    const size_t number = m_volumes.size() + 1;
    TFiles& volume = m_volumes.emplace_back();
    volume.Name = FileName(number);
    if (m_append && number == 1) {
        volume.Handle.Reset(::CreateFileW(FileApiPath(volume.Name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, m_attributes, nullptr));
        if (volume.Handle) {
            FileLength(volume.Handle.Get(), volume.Size);
            m_position = m_size = volume.Size;
        }
    } else {
        // A staged name is the writer's own: a file already there is someone else's.
        const DWORD disposition = m_stagingSuffix.empty() ? CREATE_ALWAYS : CREATE_NEW;
        volume.Handle.Reset(::CreateFileW(FileApiPath(volume.Name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          disposition, m_attributes, nullptr));
    }
    if (!volume.Handle) {
        m_lastError = ::GetLastError();
        // Not made here, so not the writer's to remove (the module copy of a
        // self-extractor is: the writer was to append to it).
        if (!m_stagingSuffix.empty() && !(m_append && number == 1)) m_volumes.pop_back();
        return false;
    }
    if (DWORD error = StampLastWriteTime(volume.Handle.Get(), m_fileDate)) {
        m_lastError = error;
        return false;
    }
    return true;
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
