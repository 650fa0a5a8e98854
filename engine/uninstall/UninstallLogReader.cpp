#include "UninstallLogReader.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>

#include "../framework/AnsiPath.h"
#include "../product/ProductContext.h"

namespace {
struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using LogFile = std::unique_ptr<FILE, FileCloser>;

constexpr char kCompanionProgram[] = "PelmoraHelper.exe";

bool IsBlank(const char* text) {
    for (; *text != '\0'; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') return false;
    return true;
}

// Opened as the C library's "r" opens it (reading, shared with readers and
// writers, text mode), with the system's reason when it cannot be.
LogFile OpenLog(const std::string& path, LogReadResult& result) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        result = {LogReading::kFolder, ERROR_SUCCESS};
        return nullptr;
    }
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        result = {LogReading::kNotOpened, ::GetLastError()};
        return nullptr;
    }
    const int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_TEXT);
    if (descriptor == -1) {
        ::CloseHandle(handle);
        result = {LogReading::kNotOpened, ERROR_NOT_ENOUGH_MEMORY};
        return nullptr;
    }
    LogFile file(::_fdopen(descriptor, "r"));
    if (!file) {
        ::_close(descriptor);
        result = {LogReading::kNotOpened, ERROR_NOT_ENOUGH_MEMORY};
    }
    return file;
}

DWORD ReadError() { return _doserrno != 0 ? static_cast<DWORD>(_doserrno) : ERROR_READ_FAULT; }

// Up to the first line of a known kind: a usable log has one, mostly at its top.
LogReadResult Survey(FILE* file) {
    bool blank = true;
    char piece[1024];
    while (std::fgets(piece, sizeof piece, file) != nullptr) {
        blank = blank && IsBlank(piece);
        if (IsKnownLogKind(ParseLogLine(piece).kind)) return {LogReading::kRead, ERROR_SUCCESS};
    }
    if (std::ferror(file)) return {LogReading::kReadFailed, ReadError()};
    return {blank ? LogReading::kEmpty : LogReading::kNoKnownLine, ERROR_SUCCESS};
}
}  // namespace

bool NamesCompanionProgram(const std::string& value) {
    return value == kCompanionProgram || LastPathComponent(value) == kCompanionProgram;
}

LogReadResult ReadUninstallLog(const std::string& path, const LogRecordConsumer& consumer) {
    LogReadResult result;
    LogFile file = OpenLog(path, result);
    if (!file) return result;
    result = Survey(file.get());
    if (result.reading != LogReading::kRead) return result;
    // Text mode: the platform's runtime drops the carriage return of a CRLF pair
    // (and, as ever on this platform, ends the file at a Ctrl+Z byte).
    std::rewind(file.get());
    char piece[1024];
    while (std::fgets(piece, sizeof piece, file.get()) != nullptr) {
        UninstallLogRecord record = ParseLogLine(piece);  // a NUL byte ends the piece's text
        if (NamesCompanionProgram(record.value)) TheProduct().companionSeenFlag = kFlagSet;
        consumer(record);
    }
    if (std::ferror(file.get())) return {LogReading::kReadFailed, ReadError()};
    return result;
}
