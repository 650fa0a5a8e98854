#include "ItemProperty.h"

#include <algorithm>

using namespace sevenzip;

namespace {
bool HasTypeOf(PROPID id, VARTYPE type) {
    switch (id) {
    case kpidPath:
    case kpidMethod: return type == VT_BSTR;
    case kpidIsDir:
    case kpidEncrypted:
    case kpidIsAnti: return type == VT_BOOL;
    case kpidMTime:
    case kpidCTime:
    case kpidATime: return type == VT_FILETIME;
    // Numbers come in whatever width the format stores them.
    default: return type == VT_UI8 || type == VT_UI4 || type == VT_UI2 || type == VT_UI1 || type == VT_I8 ||
                    type == VT_I4;
    }
}
}  // namespace

bool ReadItemProperty(IInArchive* archive, uint32_t index, PROPID id, PropVariant& value) {
    if (archive->GetProperty(index, id, value.Receive()) != S_OK) return false;
    const VARTYPE type = value.Value().vt;
    return type == VT_EMPTY || HasTypeOf(id, type);
}

bool ReadIsDirectory(IInArchive* archive, uint32_t index, uint64_t attributes, bool& isDirectory) {
    isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isDirectory) return true;
    PropVariant flag;
    if (!ReadItemProperty(archive, index, kpidIsDir, flag)) return false;
    isDirectory = flag.AsBool();
    return true;
}

bool ReadItemCount(IInArchive* archive, uint32_t& count) {
    UINT32 items = 0;
    if (archive->GetNumberOfItems(&items) != S_OK) return false;
    count = std::min<UINT32>(items, INT32_MAX);
    return true;
}
