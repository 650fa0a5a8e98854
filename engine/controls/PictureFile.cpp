#include "PictureFile.h"

#include <ole2.h>
#include <olectl.h>

#include "PictureLimits.h"
#include "SmoothScale.h"
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

// The loader's picture as a bitmap of the page's own, `percent` of 96 dpi made
// `dpi`: resampled straight from the loader's bitmap when the size changes, so
// that no second copy at the file's size is made. A copy beyond the budget is
// not made: the picture keeps its own size. Null when the picture itself is
// beyond the budget.
HBITMAP DecodePicture(const std::string& path, int percent, int dpi, SIZE* size) {
    *size = {};
    LONG fileSize = 0;
    ComPtr<IStream> stream = FileStream(path, &fileSize);
    if (!stream) return nullptr;
    ComPtr<IPicture> picture;
    if (FAILED(::OleLoadPicture(stream.Get(), fileSize, FALSE, IID_IPicture, picture.ReceiveVoid()))) return nullptr;
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle)))
        return nullptr;
    const auto decoded = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP info{};
    if (::GetObjectA(decoded, sizeof info, &info) == 0) return nullptr;
    const SIZE wanted{static_cast<LONG>(DpiScaled(::MulDiv(info.bmWidth, 100, percent), dpi)),
                      static_cast<LONG>(DpiScaled(::MulDiv(info.bmHeight, 100, percent), dpi))};
    // The header was measured; what the loader made is held to the budget too.
    if (!WithinPictureBudget(info.bmWidth, info.bmHeight)) return nullptr;
    // The picture object owns its bitmap; the page keeps one of its own.
    HBITMAP bitmap = nullptr;
    if ((wanted.cx != info.bmWidth || wanted.cy != info.bmHeight) && WithinPictureBudget(wanted.cx, wanted.cy))
        bitmap = SmoothScaled(decoded, wanted);
    if (bitmap != nullptr) {
        *size = wanted;
        return bitmap;
    }
    bitmap = static_cast<HBITMAP>(::CopyImage(decoded, IMAGE_BITMAP, 0, 0, 0));
    if (bitmap != nullptr) *size = {info.bmWidth, info.bmHeight};
    return bitmap;
}
}  // namespace

HBITMAP LoadPictureFile(const std::string& path, int* width, int* height) {
    SIZE size{};
    HBITMAP bitmap = nullptr;
    if (MeasurePictureFile(path, 100, kDesignDpi).fit == PictureFit::Fits)
        bitmap = DecodePicture(path, 100, kDesignDpi, &size);
    *width = size.cx;
    *height = size.cy;
    return bitmap;
}

HBITMAP LoadBackgroundPicture(const std::string& path, int dpi, SIZE* size) {
    *size = {};
    const PictureChoice choice = ChoosePictureFile(path, dpi);
    if (!HasFileStatus(choice.path)) return nullptr;
    // Stretched over the window whatever its size, a background is refused only
    // for the picture decoding it makes; its copy at the page's scaling is made
    // within the budget or not at all.
    return AdmitPicture(choice.path, 100, kDesignDpi) ? DecodePicture(choice.path, choice.percent, dpi, size) : nullptr;
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

std::vector<PictureChoice> PictureCopies(const std::string& path) {
    std::vector<PictureChoice> copies;
    if (!HasFileStatus(path)) return copies;
    for (const auto& variant : kVariants) {
        std::string candidate = VariantPath(path, variant.suffix);
        if (HasFileStatus(candidate)) copies.push_back({std::move(candidate), variant.percent});
    }
    return copies;
}

PictureChoice ChoosePictureFile(const std::string& path, int dpi) {
    PictureChoice best{path, 100};
    const int needed = ::MulDiv(dpi, 100, kDesignDpi);
    if (needed <= 100) return best;
    for (const PictureChoice& copy : PictureCopies(path)) {
        best = copy;
        if (copy.percent >= needed) break;
    }
    return best;
}
