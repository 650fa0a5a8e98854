#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// The component's error codes; ErrCode indexes the message table.
enum SevenZipError : int32_t {
    kSuccess = 0,
    kFileNotFound = 1,
    kDataError = 2,
    kCRCError = 3,
    kUnsupportedMethod = 4,
    kIndexOutOfRange = 5,
    kUserCanceled = 6,
    kNotSfxArchive = 7,
    kSfxModuleNotFound = 8,
    kCouldNotCreateSfx = 9,
    kNoFilesToAdd = 10,
    kCouldNotCreateFile = 11,
    kUnsafePath = 12,
    kCouldNotOpenFile = 13,
    kSettingsRejected = 14,
    kCouldNotWriteFile = 15,
    kSameFileAsEarlier = 16,
    kWrongPassword = 17,
    kCouldNotReadFile = 18,
    kShortVolume = 19,
    kArchiveChanged = 20,
    kNotAnArchive = 21,
    kDamagedHeader = 22,
    kItemUnreadable = 23,
};

// The message of a code; the table's own texts, empty for a code outside it.
const char* ErrorMessage(int32_t code);
// Whether LastError tells why: the codes of a file that could not be made,
// opened, written or read.
bool ErrorHasSystemReason(int32_t code);
// The system's own text for an error code (LastError), on one line.
std::wstring SystemErrorText(DWORD error);
