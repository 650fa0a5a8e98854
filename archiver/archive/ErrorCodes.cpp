#include "ErrorCodes.h"

namespace {
// Handlers compare these texts; they stay as they are.
const char* const kMessages[] = {
    "Success",
    "File not found",
    "Data Error",
    "CRC Error",
    "Unsupported Method",
    "Index out of Range",
    "User canceled operation",
    "File is not an 7z SFX archive",
    "SFXModule error ( Not found )",
    "Could not create SFX",
    "No files to add",
    "Could not create file",
    "Path outside the extract directory",
    "Could not open file",
    "Compression settings rejected",
    "Could not write file",
    "Name differs only in case from an earlier item",
    "Wrong or missing password",
};
}  // namespace

const char* ErrorMessage(int32_t code) {
    if (code < 0 || code >= static_cast<int32_t>(sizeof kMessages / sizeof kMessages[0])) return "";
    return kMessages[code];
}
