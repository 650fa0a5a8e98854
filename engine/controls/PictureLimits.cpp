#include "PictureLimits.h"

#include <algorithm>
#include <climits>

#include "../framework/Dpi.h"
#include "../framework/GdiObject.h"
#include "../framework/MessageBox.h"
#include "PictureHeader.h"

namespace {
constexpr long long kHimetricPerInch = 2540;

// Reads the file piece by piece: a header never needs the file whole.
class PictureFileBytes {
public:
    explicit PictureFileBytes(const std::string& path)
        : m_file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~PictureFileBytes() {
        if (m_file != INVALID_HANDLE_VALUE) ::CloseHandle(m_file);
    }
    PictureFileBytes(const PictureFileBytes&) = delete;
    PictureFileBytes& operator=(const PictureFileBytes&) = delete;

    bool Open() const { return m_file != INVALID_HANDLE_VALUE; }
    size_t Read(uint64_t offset, uint8_t* buffer, size_t size) const {
        size_t done = 0;
        while (done < size) {
            OVERLAPPED at{};
            const uint64_t position = offset + done;
            at.Offset = static_cast<DWORD>(position);
            at.OffsetHigh = static_cast<DWORD>(position >> 32);
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 20));
            DWORD got = 0;
            if (!::ReadFile(m_file, buffer + done, chunk, &got, &at) || got == 0) break;
            done += got;
        }
        return done;
    }

private:
    HANDLE m_file;
};

// As MulDiv rounds, without its overflow.
long long Rescaled(long long value, long long numerator, long long denominator) {
    const long long product = value * numerator;
    return (product + denominator / 2) / denominator;
}

LONG Clamped(long long value) { return static_cast<LONG>(std::min<long long>(value, INT_MAX)); }
}  // namespace

bool WithinPictureBudget(long long width, long long height) {
    return width >= 0 && height >= 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

PictureMeasure MeasurePictureFile(const std::string& path, int percent, int dpi) {
    PictureMeasure measure;
    const PictureFileBytes file(path);
    if (!file.Open() || percent <= 0) return measure;
    const PictureHeader header = ReadPictureHeader(
        [&file](uint64_t offset, uint8_t* buffer, size_t size) { return file.Read(offset, buffer, size); });
    if (header.format == PictureFormat::Unknown) return measure;
    long long width = header.width, height = header.height;
    if (header.Scalable()) {
        // The loader measures a metafile in pixels of the screen.
        ScreenDC screen;
        width = HimetricToPixels(width, ::GetDeviceCaps(screen, LOGPIXELSX));
        height = HimetricToPixels(height, ::GetDeviceCaps(screen, LOGPIXELSY));
    }
    // Sides are held below 2^40 so that scaling cannot overflow; any such side
    // is far beyond the budget anyway.
    const long long drawnWidth = DpiScaled(Rescaled(std::min(width, 1LL << 40), 100, percent), dpi);
    const long long drawnHeight = DpiScaled(Rescaled(std::min(height, 1LL << 40), 100, percent), dpi);
    const bool fits = WithinPictureBudget(width, height) && WithinPictureBudget(drawnWidth, drawnHeight);
    // A picture too large is reported as such, whole or cut short; a short one
    // that would fit cannot be loaded, as a file of no known format cannot.
    if (fits && !header.complete) return measure;
    measure.decoded = {Clamped(width), Clamped(height)};
    measure.drawn = {Clamped(drawnWidth), Clamped(drawnHeight)};
    measure.fit = fits ? PictureFit::Fits : PictureFit::TooLarge;
    return measure;
}

std::string PictureTooLargeText(const std::string& path) {
    return "Picture too large: (" + path + ")";
}

bool AdmitPicture(const std::string& path, int percent, int dpi) {
    const PictureFit fit = MeasurePictureFile(path, percent, dpi).fit;
    if (fit == PictureFit::TooLarge) AppMessageBox(PictureTooLargeText(path).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return fit == PictureFit::Fits;
}

long long HimetricToPixels(long long himetric, int pixelsPerInch) {
    return Rescaled(himetric, pixelsPerInch, kHimetricPerInch);
}
