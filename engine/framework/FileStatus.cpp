#include "FileStatus.h"

#include <sys/stat.h>

bool HasFileStatus(const std::string& path) {
    if (path.size() >= 260) return false;
    struct _stat64 status;
    return ::_stat64(path.c_str(), &status) == 0;
}
