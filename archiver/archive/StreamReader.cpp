#include "StreamReader.h"

#include <algorithm>
#include <vector>

#include "ArchiveSignature.h"
#include "ErrorCodes.h"
#include "StreamPosition.h"
#include "VolumePrompt.h"
#include "WideFiles.h"
#include "WidePath.h"

namespace {
// A volume list of a million entries stays below 100 MB; a chosen file numbered
// beyond that is not taken as a last volume.
constexpr int64_t kMaxVolumes = 1000000;

bool VolumeNumberOf(const std::wstring& name, int64_t& number) {
    std::wstring extension = ExtensionOf(name);
    return !extension.empty() && ParseDecimal(extension.substr(1), number);
}
}  // namespace

bool TMyStreamReader::FindVolume(std::wstring& name, bool removable, const wchar_t* prompt) {
    if (m_host != nullptr) return m_host->FindVolume(name, removable, prompt);
    static const std::atomic<bool> never{false};
    TVolumePrompt volumePrompt;
    return volumePrompt.Ask(nullptr, prompt, name, never);
}

TMyStreamReader::TMyStreamReader(TOperationHost* host, TReaderVolumes volumes, const std::wstring& fileName,
                                 TArchiveStart start)
    : m_host(host), m_fileName(fileName), m_multiVolume(volumes == TReaderVolumes::MultiVolume) {
    if (m_multiVolume && start.SelfExtracting) {
        m_selfExtracting = true;
        m_position = start.Offset;
    }
    m_start = m_position;

    TFiles& first = m_volumes.emplace_back();
    first.Name = fileName;
    if (m_multiVolume) first.Removable = !OnFixedDisk(fileName);
    first.Handle = OpenForReading(fileName);
    if (first.Handle)
        FileLength(first.Handle.Get(), first.Size);
    else
        m_lastError = ::GetLastError();
    first.Length = first.Size;
    if (!m_multiVolume) {
        m_size = first.Size;
        m_sizeKnown = true;
    }
}

void TMyStreamReader::ReadFailed(uint32_t error) {
    m_lastError = error;
    if (m_host == nullptr) return;
    // A file being added: what was read so far must not be stored as if it were
    // the whole file. The archive's own reads fail the library's call, which says so.
    if (m_multiVolume)
        m_host->SystemError(error);
    else
        m_host->ReportError(kCouldNotReadFile, m_fileName, error);
}

bool TMyStreamReader::StartHeader(TStartHeader& header) {
    if (!m_startHeaderRead) m_startHeaderRead = ReadStartHeader(m_startHeader);
    header = m_startHeader;
    return m_startHeaderRead;
}

std::vector<std::wstring> TMyStreamReader::VolumeNames() const {
    std::vector<std::wstring> names;
    const size_t count = std::max<size_t>(1, m_lastVolume);
    for (size_t number = 1; number <= count; ++number)
        names.push_back(number <= m_volumes.size() && !m_volumes[number - 1].Name.empty()
                            ? m_volumes[number - 1].Name
                            : BuildVolumeName(number));
    return names;
}

size_t TMyStreamReader::OpenVolumeCount() const {
    return static_cast<size_t>(
        std::count_if(m_volumes.begin(), m_volumes.end(), [](const TFiles& volume) { return bool(volume.Handle); }));
}

HRESULT STDMETHODCALLTYPE TMyStreamReader::Read(void* data, UINT32 size, UINT32* processed) {
    return GuardedCall([&]() -> HRESULT {
        if (processed != nullptr) *processed = 0;
        if (m_multiVolume && !m_sizeKnown && m_position + size > m_volumes[0].Size && !LearnSize()) return S_FALSE;
        auto* bytes = static_cast<uint8_t*>(data);
        UINT32 done = 0;
        HRESULT result = S_OK;
        if (m_spanning) {
            result = ReadSpanning(bytes, size, done);
        } else if (m_volumes[0].Handle && size > 0) {
            DWORD read = 0;
            if (!ReadFromFile(m_volumes[0].Handle.Get(), m_position, bytes, size, read)) {
                ReadFailed(::GetLastError());
                read = 0;
                if (!m_multiVolume) result = HRESULT_FROM_WIN32(m_lastError);
            }
            done = read;
        }
        m_position += done;
        if (processed != nullptr) *processed = done;
        return result;
    });
}

HRESULT TMyStreamReader::ReadSpanning(uint8_t* data, UINT32 size, UINT32& done) {
    done = 0;
    // The archive's end is known: nothing past it is read, and no volume is asked for.
    if (m_position >= m_size) return S_FALSE;
    const uint64_t wanted = std::min<uint64_t>(size, m_size - m_position);

    size_t index = 0;
    uint64_t before = 0;
    for (;; ++index) {
        if ((index >= m_volumes.size() || m_volumes[index].Length == 0) && !OpenVolumeToRead(index + 1)) {
            CloseVolumesExcept(m_volumes.size());
            return S_FALSE;
        }
        if (m_position - before < m_volumes[index].Length) break;
        before += m_volumes[index].Length;
    }

    uint64_t offset = m_position - before;
    HRESULT result = S_OK;
    while (done < wanted) {
        // Past the last volume known so far, OpenVolume extends the list first.
        if ((index >= m_volumes.size() || !m_volumes[index].Handle) && !OpenVolumeToRead(index + 1)) {
            result = S_FALSE;
            break;
        }
        TFiles& volume = m_volumes[index];
        DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(wanted - done, volume.Length - offset));
        DWORD read = 0;
        if (!ReadFromFile(volume.Handle.Get(), offset, data + done, chunk, read)) {
            ReadFailed(::GetLastError());
            result = S_FALSE;
            break;
        }
        done += read;
        if (read < chunk || done == wanted) break;  // a short volume ends this read
        offset = 0;
        ++index;
    }
    CloseVolumesExcept(index);
    return result;
}

void TMyStreamReader::CloseVolumesExcept(size_t index) {
    for (size_t i = 0; i < m_volumes.size(); ++i)
        if (i != index) m_volumes[i].Close();
}

HRESULT STDMETHODCALLTYPE TMyStreamReader::Seek(INT64 offset, UINT32 origin, UINT64* newPosition) {
    return GuardedCall([&]() -> HRESULT {
        uint64_t base = 0;
        HRESULT result = S_OK;
        switch (origin) {
        case STREAM_SEEK_SET: break;
        case STREAM_SEEK_CUR: base = m_position; break;
        case STREAM_SEEK_END:
            if (!m_sizeKnown && !(m_multiVolume && LearnSize())) result = S_FALSE;
            base = m_size;
            break;
        default: result = STG_E_INVALIDFUNCTION; break;
        }
        if (result == S_OK) result = SeekTarget(base, offset, m_position);
        if (newPosition != nullptr) *newPosition = m_position;
        return result;
    });
}

HRESULT STDMETHODCALLTYPE TMyStreamReader::GetSize(UINT64* size) {
    return GuardedCall([&]() -> HRESULT {
        if (size == nullptr) return E_POINTER;
        if (!m_sizeKnown && !(m_multiVolume && LearnSize())) return S_FALSE;
        *size = m_size;
        return S_OK;
    });
}

bool TMyStreamReader::LearnSize() {
    if (m_sizeKnown) return true;
    if (m_learningFailed) return false;
    TFiles& first = m_volumes[0];
    TStartHeader header{};
    uint64_t end = StartHeader(header) ? ArchiveEndFromStartHeader(header, m_start) : 0;
    if (end <= first.Size || !NumberedVolumes()) {
        m_size = first.Size;
        m_sizeKnown = true;
        return true;
    }
    if (!FindLastVolume()) {
        m_learningFailed = true;  // asked once: the user declined
        return false;
    }
    m_size = end;
    m_sizeKnown = true;
    m_spanning = true;
    return true;
}

// Volumes smaller than the start header (a few bytes each, or a self-extractor's
// first one, which holds the module and only the archive's first bytes) leave it
// to the volumes that follow: read on from them, none asked for.
bool TMyStreamReader::ReadStartHeader(TStartHeader& header) const {
    size_t done = 0;
    uint64_t offset = m_start;
    for (size_t number = 1; done < header.size(); ++number) {
        HANDLE file = m_volumes[0].Handle.Get();
        uint64_t length = m_volumes[0].Size;
        FileHandle next;
        if (number > 1) {
            if (!NumberedVolumes() || number > static_cast<size_t>(kMaxVolumes)) return false;
            next = OpenForReading(BuildVolumeName(number));
            if (!next || !FileLength(next.Get(), length)) return false;
            file = next.Get();
        }
        if (file == INVALID_HANDLE_VALUE || length == 0) return false;
        if (offset >= length) {
            offset -= length;
            continue;
        }
        const auto wanted = static_cast<DWORD>(std::min<uint64_t>(header.size() - done, length - offset));
        DWORD read = 0;
        if (!ReadFromFile(file, offset, header.data() + done, wanted, read) || read != wanted) return false;
        done += read;
        offset = 0;
    }
    return true;
}

bool TMyStreamReader::NumberedVolumes() const {
    int64_t number = 0;
    return m_selfExtracting || VolumeNumberOf(m_fileName, number);
}

bool TMyStreamReader::FindLastVolume() {
    for (;;) {
        std::wstring candidate = ProbeLastVolume();
        if (candidate.empty()) {
            // A numbered run that stops after its first file (a lone ".001") has no
            // last volume to find: the read ends here. Only a self-extractor, whose
            // name carries no number, asks.
            if (!m_selfExtracting) {
                m_missingVolume = BuildVolumeName(2);
                return false;
            }
            // Volume 2 is not there. A handler is told so as for any missing
            // volume (and may point to the last one): a program that handles
            // volumes itself never gets a dialog. Without one, the user is asked.
            candidate = HandlesMissingVolumes() ? BuildVolumeName(2) : m_volumes[0].Name;
            if (!FindVolume(candidate, m_volumes[0].Removable, L"Select last volume")) {
                m_missingVolume = BuildVolumeName(2);
                return false;
            }
        }
        int64_t number = 0;
        if (!BelongsToSet(candidate) || !VolumeNumberOf(candidate, number) || number < 2 || number > kMaxVolumes)
            continue;
        ExtendVolumes(static_cast<size_t>(number));
        m_volumes[static_cast<size_t>(number) - 1].Name = candidate;
        m_lastVolume = static_cast<size_t>(number);
        return OpenVolume(m_lastVolume);
    }
}

std::wstring TMyStreamReader::ProbeLastVolume() const {
    int64_t number = 1;
    std::wstring base = m_fileName;
    if (!m_selfExtracting) {
        if (!VolumeNumberOf(m_fileName, number)) return {};
        base = WithoutExtension(m_fileName);
    }
    // An empty file ends the run: a writer that stopped exactly on a volume
    // boundary leaves one behind, and it holds no part of the archive.
    std::wstring last;
    WIN32_FIND_DATAW found;
    for (int64_t next = number + 1; next <= kMaxVolumes; ++next) {
        std::wstring name = base + L"." + VolumeNumber(static_cast<uint64_t>(next));
        if (!FindFirstMatch(name, found) || FindDataSize(found) == 0) break;
        last = name;
    }
    return last;
}

bool TMyStreamReader::BelongsToSet(const std::wstring& candidate) const {
    const std::wstring& firstName = m_volumes[0].Name;
    std::wstring firstPart = UpperCase(FileNamePart(firstName));
    if (m_selfExtracting) return UpperCase(WithoutExtension(FileNamePart(candidate))) == firstPart;
    return UpperCase(ChangeExtension(FileNamePart(candidate), ExtensionOf(firstName))) == firstPart;
}

void TMyStreamReader::ExtendVolumes(size_t count) {
    // Volumes after the first lie beside it, so on the same kind of drive.
    while (m_volumes.size() < count) m_volumes.emplace_back().Removable = m_volumes[0].Removable;
}

bool TMyStreamReader::OpenVolume(size_t number) {
    if (m_volumes.size() < number)
        ExtendVolumes(number);
    else if (m_volumes[number - 1].Handle)
        return true;
    TFiles& volume = m_volumes[number - 1];
    if (volume.Name.empty()) volume.Name = BuildVolumeName(number);
    for (;;) {
        if (volume.Handle) {
            if (volume.Size > 0) return true;
            volume.Close();
            break;
        }
        volume.Handle = OpenForReading(volume.Name);
        if (volume.Handle) {
            FileLength(volume.Handle.Get(), volume.Size);
            volume.Length = volume.Size;
            continue;
        }
        // Removable media: the user may insert the disk or point elsewhere, and the
        // same name is tried again.
        if (!FindVolume(volume.Name, volume.Removable, L"Select volume")) {
            m_missingVolume = volume.Name;
            break;
        }
    }
    volume.Name.clear();
    return false;
}

bool TMyStreamReader::OpenVolumeToRead(size_t number) {
    if (m_shortVolumeFound || (m_lastVolume > 0 && number > m_lastVolume && FindShortVolume())) return false;
    return OpenVolume(number);
}

// A read past the last volume: the volumes after it may be missing (a gap in the
// run, a disk not inserted), and the next one is asked for as any missing volume;
// or every volume is there and one holds fewer bytes than the others, so that the
// set ends before the archive does. A volume past the end was never written:
// asking for it would help nobody, so the short volume is named instead. Every
// volume but the last holds the set's volume size, the largest of them.
bool TMyStreamReader::FindShortVolume() {
    std::vector<uint64_t> lengths(m_lastVolume);
    for (size_t i = 0; i < m_lastVolume; ++i) {
        lengths[i] = m_volumes[i].Length;
        WIN32_FIND_DATAW found;
        if (lengths[i] == 0 && FindFirstMatch(BuildVolumeName(i + 1), found)) lengths[i] = FindDataSize(found);
    }
    const uint64_t volumeSize = *std::max_element(lengths.begin(), lengths.end());
    if (volumeSize == 0 || (m_size + volumeSize - 1) / volumeSize > m_lastVolume) return false;
    size_t shortOne = m_lastVolume;
    for (size_t i = 0; i + 1 < m_lastVolume; ++i)
        if (lengths[i] < volumeSize) {
            shortOne = i + 1;
            break;
        }
    m_shortVolumeFound = true;
    const std::wstring& named = m_volumes[shortOne - 1].Name;
    if (m_host != nullptr) m_host->ReportError(kShortVolume, named.empty() ? BuildVolumeName(shortOne) : named);
    return true;
}

std::wstring TMyStreamReader::BuildVolumeName(size_t number) const {
    if (number == 1) return m_fileName;
    std::wstring base = m_selfExtracting ? m_fileName : WithoutExtension(m_fileName);
    return base + L"." + VolumeNumber(number);
}
