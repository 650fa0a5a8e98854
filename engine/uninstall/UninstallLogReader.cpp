#include "UninstallLogReader.h"

#include <vector>

#include "../framework/AnsiPath.h"
#include "../framework/FileHandle.h"
#include "../product/ProductContext.h"

namespace {
constexpr char kCompanionProgram[] = "PelmoraHelper.exe";
// A line is read into a buffer of 1024 bytes: 1023 characters and the terminator.
constexpr size_t kPieceLength = 1023;

bool IsBlank(const std::string& text) {
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    return true;
}

// The log's bytes in pieces as the C library's text mode hands out lines (a
// carriage return before a line feed dropped, a piece ending at its line feed or
// after 1023 characters), but every byte of the file read: text mode would end
// the file at its first Ctrl+Z, and the lines behind it would never be tried or
// mentioned while the run reported the product removed.
class LogBytes {
public:
    explicit LogBytes(HANDLE file) : m_file(file), m_buffer(64 * 1024) {}

    // False at the end of the file and when a read fails (Error() then says why).
    bool NextPiece(std::string& piece) {
        piece.clear();
        int c;
        while (piece.size() < kPieceLength && (c = Next()) >= 0) {
            if (c == '\r' && Peek() == '\n') continue;
            piece += static_cast<char>(c);
            if (c == '\n') break;
        }
        return !piece.empty() && m_error == ERROR_SUCCESS;
    }
    bool Rewind() {
        m_at = m_end = 0;
        m_ended = false;
        return ::SetFilePointer(m_file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
    }
    DWORD Error() const { return m_error; }

private:
    int Peek() {
        if (m_at == m_end && !Fill()) return -1;
        return static_cast<unsigned char>(m_buffer[m_at]);
    }
    int Next() {
        const int c = Peek();
        if (c >= 0) ++m_at;
        return c;
    }
    bool Fill() {
        if (m_ended) return false;
        DWORD got = 0;
        if (!::ReadFile(m_file, m_buffer.data(), static_cast<DWORD>(m_buffer.size()), &got, nullptr)) {
            m_error = ::GetLastError();
            if (m_error == ERROR_SUCCESS) m_error = ERROR_READ_FAULT;
        }
        m_ended = got == 0;
        m_at = 0;
        m_end = got;
        return got > 0;
    }

    HANDLE m_file;
    std::vector<char> m_buffer;
    size_t m_at = 0;
    size_t m_end = 0;
    bool m_ended = false;
    DWORD m_error = ERROR_SUCCESS;
};

// Opened as the C library's "r" opens it (reading, shared with readers and
// writers), with the system's reason when it cannot be.
FileHandle OpenLog(const std::string& path, LogReadResult& result) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        result = {LogReading::kFolder, ERROR_SUCCESS};
        return FileHandle();
    }
    FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) result = {LogReading::kNotOpened, ::GetLastError()};
    return file;
}

// Up to the first line of a known kind: a usable log has one, mostly at its top.
LogReadResult Survey(LogBytes& log) {
    bool blank = true;
    std::string piece;
    while (log.NextPiece(piece)) {
        blank = blank && IsBlank(piece);
        if (IsKnownLogKind(ParseLogLine(piece).kind)) return {LogReading::kRead, ERROR_SUCCESS};
    }
    if (log.Error() != ERROR_SUCCESS) return {LogReading::kReadFailed, log.Error()};
    return {blank ? LogReading::kEmpty : LogReading::kNoKnownLine, ERROR_SUCCESS};
}
}  // namespace

bool NamesCompanionProgram(const std::string& value) {
    return value == kCompanionProgram || LastPathComponent(value) == kCompanionProgram;
}

LogReadResult ReadUninstallLog(const std::string& path, const LogRecordConsumer& consumer) {
    LogReadResult result;
    FileHandle file = OpenLog(path, result);
    if (!file) return result;
    LogBytes log(file);
    result = Survey(log);
    if (result.reading != LogReading::kRead) return result;
    if (!log.Rewind()) return {LogReading::kReadFailed, ::GetLastError()};
    std::string piece;
    while (log.NextPiece(piece)) {
        UninstallLogRecord record = ParseLogLine(piece);
        if (NamesCompanionProgram(record.value)) TheProduct().companionSeenFlag = kFlagSet;
        consumer(record);
    }
    if (log.Error() != ERROR_SUCCESS) return {LogReading::kReadFailed, log.Error()};
    return result;
}
