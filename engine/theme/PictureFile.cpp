#include "PictureFile.h"

#include <ole2.h>
#include <olectl.h>

#include "../framework/ComPtr.h"
#include "../framework/Dpi.h"
#include "../framework/FileStatus.h"

namespace {
// The picture loader reads from a stream; the file goes into a movable block
// that the stream owns and frees.
ComPtr<IStream> FileStream(const std::string& path, LONG* size) {
    ComPtr<IStream> stream;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return stream;
    LARGE_INTEGER fileSize{};
    HGLOBAL block = nullptr;
    // A picture held in memory whole: anything that does not fit a LONG is no picture.
    if (::GetFileSizeEx(file, &fileSize) && fileSize.QuadPart > 0 && fileSize.QuadPart < 0x7FFFFFFF)
        block = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(fileSize.QuadPart));
    bool read = false;
    if (block != nullptr) {
        if (void* data = ::GlobalLock(block)) {
            DWORD got = 0;
            read = ::ReadFile(file, data, static_cast<DWORD>(fileSize.QuadPart), &got, nullptr) &&
                   got == static_cast<DWORD>(fileSize.QuadPart);
            ::GlobalUnlock(block);
        }
    }
    ::CloseHandle(file);
    if (read && SUCCEEDED(::CreateStreamOnHGlobal(block, TRUE, stream.Receive()))) {
        *size = static_cast<LONG>(fileSize.QuadPart);
        return stream;
    }
    if (block != nullptr) ::GlobalFree(block);
    return stream;
}
}  // namespace

HBITMAP LoadPictureFile(const std::string& path, int* width, int* height) {
    *width = 0;
    *height = 0;
    LONG size = 0;
    ComPtr<IStream> stream = FileStream(path, &size);
    if (!stream) return nullptr;
    ComPtr<IPicture> picture;
    if (FAILED(::OleLoadPicture(stream.Get(), size, FALSE, IID_IPicture, picture.ReceiveVoid()))) return nullptr;
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle)))
        return nullptr;
    // The picture object owns its bitmap; the page keeps a copy of its own.
    auto bitmap = static_cast<HBITMAP>(::CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                                   IMAGE_BITMAP, 0, 0, 0));
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof info, &info) == 0) {
        if (bitmap != nullptr) ::DeleteObject(bitmap);
        return nullptr;
    }
    *width = info.bmWidth;
    *height = info.bmHeight;
    return bitmap;
}

namespace {
// The scalings a variant can be made for, in percent, smallest first.
constexpr struct {
    int percent;
    const char* suffix;
} kVariants[] = {{125, "@1.25x"}, {150, "@1.5x"}, {175, "@1.75x"}, {200, "@2x"}, {250, "@2.5x"}, {300, "@3x"}};

std::string VariantPath(const std::string& path, const char* suffix) {
    const size_t name = path.find_last_of("\\/");
    const size_t dot = path.rfind('.');
    const size_t at = dot != std::string::npos && (name == std::string::npos || dot > name) ? dot : path.size();
    return path.substr(0, at) + suffix + path.substr(at);
}
}  // namespace

PictureChoice ChoosePictureFile(const std::string& path, int dpi) {
    PictureChoice best{path, 100};
    const int needed = ::MulDiv(dpi, 100, kDesignDpi);
    if (needed <= 100 || !HasFileStatus(path)) return best;
    for (const auto& variant : kVariants) {
        const std::string candidate = VariantPath(path, variant.suffix);
        if (!HasFileStatus(candidate)) continue;
        best = {candidate, variant.percent};
        if (variant.percent >= needed) break;
    }
    return best;
}
