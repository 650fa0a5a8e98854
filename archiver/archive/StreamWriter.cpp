#include "StreamWriter.h"

#include <algorithm>

#include "FileTimes.h"
#include "StreamPosition.h"
#include "WideFiles.h"
#include "WidePath.h"

TMyStreamWriter::TMyStreamWriter(uint32_t* errorTarget, const std::wstring& fileName, double fileDate,
                                 DWORD attributes, uint32_t volumeSize, bool append)
    : m_errorTarget(errorTarget),
      m_fileName(fileName),
      m_fileDate(fileDate),
      m_attributes(attributes),
      m_volumeSize(volumeSize),
      m_append(append) {}

bool TMyStreamWriter::Start() { return AddVolume(); }

TMyStreamWriter::~TMyStreamWriter() {
    // Writing moves a file's time on; the date is set once more after the last
    // write. A file that existed before keeps its old attributes when it is
    // created anew, so they are set here too.
    for (TFiles& volume : m_volumes) {
        if (!volume.Handle) continue;
        StampLastWriteTime(volume.Handle.Get(), m_fileDate);
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = m_attributes;
        if (m_attributes != 0)
            ::SetFileInformationByHandle(volume.Handle.Get(), FileBasicInfo, &basic, sizeof basic);
    }
    if (m_errorTarget != nullptr && m_lastError != 0) *m_errorTarget = m_lastError;
}

std::vector<std::wstring> TMyStreamWriter::VolumeNames() const {
    std::vector<std::wstring> names;
    for (const TFiles& volume : m_volumes) names.push_back(volume.Name);
    return names;
}

bool TMyStreamWriter::AddVolume() {
    const size_t number = m_volumes.size() + 1;
    TFiles& volume = m_volumes.emplace_back();
    volume.Name = m_volumeSize > 0 ? m_fileName + L"." + VolumeNumber(number) : m_fileName;
    if (m_append && number == 1) {
        volume.Name = m_fileName;
        volume.Handle.Reset(::CreateFileW(FileApiPath(volume.Name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, m_attributes, nullptr));
        if (volume.Handle) {
            FileLength(volume.Handle.Get(), volume.Size);
            m_position = m_size = volume.Size;
        }
    } else {
        volume.Handle.Reset(::CreateFileW(FileApiPath(volume.Name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, m_attributes, nullptr));
    }
    if (!volume.Handle) {
        m_lastError = ::GetLastError();
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
