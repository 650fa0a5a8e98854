#include "UninstallLogReader.h"

#include <cstdio>
#include <memory>

#include "../product/ProductContext.h"

namespace {
struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
constexpr char kCompanionProgram[] = "PelmoraHelper.exe";
}  // namespace

bool ReadUninstallLog(const std::string& path, const LogRecordConsumer& consumer) {
    // Text mode: the platform's runtime drops the carriage return of a CRLF pair
    // (and, as ever on this platform, ends the file at a Ctrl+Z byte).
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file) return false;
    char piece[1024];
    while (std::fgets(piece, sizeof piece, file.get()) != nullptr) {
        UninstallLogRecord record = ParseLogLine(piece);  // a NUL byte ends the piece's text
        if (record.value.find(kCompanionProgram) != std::string::npos) TheProduct().companionSeenFlag = kFlagSet;
        consumer(record);
    }
    return true;
}
