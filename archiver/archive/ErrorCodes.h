#pragma once
#include <cstdint>

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
    kCaseOnlyName = 16,
    kWrongPassword = 17,
};

// The message of a code; the table's own texts, empty for a code outside it.
const char* ErrorMessage(int32_t code);
