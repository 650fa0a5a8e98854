#include "ErrorCodes.h"

#include <algorithm>

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
    "File already written by an earlier item",
    "Wrong or missing password",
    "Could not read file",
    "Volume is shorter than the set needs",
    "Archive changed since it was listed",
    "Cannot open the file as archive",
    "Archive header is damaged or too large",
    "Item cannot be read",
};
}  // namespace

bool ErrorHasSystemReason(int32_t code) {
    switch (code) {
    case kCouldNotCreateSfx:
    case kCouldNotCreateFile:
    case kCouldNotOpenFile:
    case kCouldNotWriteFile:
    case kCouldNotReadFile: return true;
    default: return false;
    }
}

std::wstring SystemErrorText(DWORD error) {
    wchar_t* text = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 ? std::wstring(text, length) : L"Error " + std::to_wstring(error);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    std::replace_if(message.begin(), message.end(), [](wchar_t c) { return c < L' '; }, L' ');
    return message;
}

const char* ErrorMessage(int32_t code) {
    if (code < 0 || code >= static_cast<int32_t>(sizeof kMessages / sizeof kMessages[0])) return "";
    return kMessages[code];
}
