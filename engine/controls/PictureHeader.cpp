#include "PictureHeader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
class Reader {
public:
    explicit Reader(const PictureBytes& bytes) : m_bytes(bytes) {}

    // False when the file ends before `size` bytes.
    bool Read(uint64_t offset, uint8_t* out, size_t size) const { return m_bytes(offset, out, size) == size; }

private:
    const PictureBytes& m_bytes;
};

uint32_t Little16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t Little32(const uint8_t* p) { return Little16(p) | Little16(p + 2) << 16; }
uint32_t Big16(const uint8_t* p) { return static_cast<uint32_t>(p[0] << 8 | p[1]); }
uint32_t Big32(const uint8_t* p) { return Big16(p) << 16 | Big16(p + 2); }
int64_t Signed16(const uint8_t* p) { return static_cast<int16_t>(Little16(p)); }
int64_t Signed32(const uint8_t* p) { return static_cast<int32_t>(Little32(p)); }

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint64_t kPlaceableHeader = 22;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr int64_t kHimetricPerInch = 2540;

PictureHeader Sized(PictureFormat format, int64_t width, int64_t height) {
    width = width < 0 ? -width : width;
    height = height < 0 ? -height : height;
    if (width == 0 || height == 0) return {};
    return {format, width, height};
}

// A device-independent bitmap's header: the core form has 16-bit sides.
bool DibSize(const uint8_t* header, int64_t& width, int64_t& height) {
    const uint32_t headerSize = Little32(header);
    if (headerSize == 12) {
        width = Little16(header + 4);
        height = Little16(header + 6);
        return true;
    }
    if (headerSize < 16) return false;
    width = Signed32(header + 4);
    height = Signed32(header + 8);
    return true;
}

// The file ends at or after `end`.
bool Holds(const Reader& file, uint64_t end) {
    uint8_t last;
    return end == 0 || file.Read(end - 1, &last, 1);
}

constexpr uint32_t kUncompressed = 0, kBitFields = 3, kAlphaBitFields = 6;

// What the decoder reads of a bitmap at `at`: its header, masks and colour
// table (`tableEnd` past them, from `at`) and its pixels (`pixelBytes`; for an
// icon's image the colour pixels and the mask). False when the header cannot
// tell, as for a compressed bitmap without its size.
bool DibExtent(const Reader& file, uint64_t at, bool withMask, uint64_t& tableEnd, uint64_t& pixelBytes) {
    uint8_t header[36] = {};
    if (!file.Read(at, header, 16)) return false;
    const uint32_t headerSize = Little32(header);
    if (headerSize != 12 && !file.Read(at, header, headerSize < sizeof header ? headerSize : sizeof header))
        return false;
    int64_t width = 0, height = 0;
    if (!DibSize(header, width, height) || width < 0) return false;
    const bool core = headerSize == 12;
    const uint32_t bits = Little16(header + (core ? 10 : 14));
    const uint32_t compression = !core && headerSize >= 20 ? Little32(header + 16) : 0;
    const uint32_t imageSize = !core && headerSize >= 24 ? Little32(header + 20) : 0;
    const uint32_t used = !core && headerSize >= 36 ? Little32(header + 32) : 0;
    uint64_t colours = used;
    if (bits <= 8 && used == 0) colours = 1ull << bits;
    uint64_t masks = 0;
    if (headerSize == 40 && compression == kBitFields) masks = 12;
    if (headerSize == 40 && compression == kAlphaBitFields) masks = 16;
    tableEnd = headerSize + masks + colours * (core ? 3 : 4);
    // Sides beyond the picture budget are refused before anything decodes: held small enough not to overflow.
    const uint64_t w = static_cast<uint64_t>(std::min<int64_t>(width, 1 << 24));
    uint64_t h = static_cast<uint64_t>(std::min<int64_t>(height < 0 ? -height : height, 1 << 24));
    if (withMask) h /= 2;
    const uint64_t stride = (w * std::min<uint32_t>(bits, 64) + 31) / 32 * 4;
    if (compression == kUncompressed || compression == kBitFields || compression == kAlphaBitFields) {
        pixelBytes = stride * h + (withMask ? (w + 31) / 32 * 4 * h : 0);
        return true;
    }
    // Run lengths (a decoder reads them up to their end mark, wherever that
    // is) and embedded JPEG or PNG data end where the header says.
    pixelBytes = imageSize;
    return imageSize != 0;
}

PictureHeader ReadBmp(const Reader& file) {
    uint8_t header[26];
    int64_t width = 0, height = 0;
    if (!file.Read(0, header, sizeof header) || !DibSize(header + 14, width, height) || width <= 0) return {};
    PictureHeader picture = Sized(PictureFormat::Bmp, width, height);
    uint64_t tableEnd = 0, pixelBytes = 0;
    picture.complete = DibExtent(file, 14, false, tableEnd, pixelBytes) && Holds(file, 14 + tableEnd) &&
                       Holds(file, Little32(header + 10) + pixelBytes);
    return picture;
}

bool IsFrameMarker(uint8_t marker) {
    // Start of frame, every coding process; C4, C8 and CC are tables and a reserved code.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

PictureHeader ReadJpeg(const Reader& file) {
    uint64_t position = 2;
    for (;;) {
        uint8_t marker[2];
        if (!file.Read(position, marker, sizeof marker) || marker[0] != 0xFF) return {};
        if (marker[1] == 0xFF) {  // fill byte before a marker
            ++position;
            continue;
        }
        position += 2;
        if ((marker[1] >= 0xD0 && marker[1] <= 0xD8) || marker[1] == 0x01) continue;  // markers without a length
        if (marker[1] == 0xD9 || marker[1] == 0xDA) return {};  // image data before any frame
        uint8_t segment[7];
        if (!file.Read(position, segment, IsFrameMarker(marker[1]) ? 7 : 2)) return {};
        const uint32_t length = Big16(segment);
        if (length < 2) return {};
        // A height of 0 is given later by a marker the loaders do not read.
        if (IsFrameMarker(marker[1])) return Sized(PictureFormat::Jpeg, Big16(segment + 5), Big16(segment + 3));
        position += length;
    }
}

// The loaders make a bitmap of the logical screen; a first frame reaching past
// it is counted too.
PictureHeader ReadGif(const Reader& file) {
    uint8_t screen[13];
    if (!file.Read(0, screen, sizeof screen)) return {};
    int64_t width = Little16(screen + 6), height = Little16(screen + 8);
    uint64_t position = sizeof screen;
    if (screen[10] & 0x80) position += 3u << ((screen[10] & 7) + 1);  // the global colour table
    for (;;) {
        uint8_t block[10];
        if (!file.Read(position, block, 1)) break;
        if (block[0] == 0x2C) {
            if (file.Read(position, block, sizeof block)) {
                width = std::max<int64_t>(width, Little16(block + 1) + Little16(block + 5));
                height = std::max<int64_t>(height, Little16(block + 3) + Little16(block + 7));
            }
            break;
        }
        if (block[0] != 0x21) break;
        // An extension: its label, then sub-blocks up to one of length 0.
        position += 2;
        for (uint8_t length = 1; length != 0; position += length) {
            if (!file.Read(position++, &length, 1)) return Sized(PictureFormat::Gif, width, height);
        }
    }
    return Sized(PictureFormat::Gif, width, height);
}

PictureHeader ReadPng(const Reader& file, uint64_t offset, PictureFormat format) {
    uint8_t header[24];
    if (!file.Read(offset, header, sizeof header) || std::memcmp(header, kPngSignature, 8) != 0 ||
        std::memcmp(header + 12, "IHDR", 4) != 0)
        return {};
    return Sized(format, Big32(header + 16), Big32(header + 20));
}

// Every image of an icon or cursor file: the directory's size (0 stands for 256)
// and the size its own header claims, a PNG's or a bitmap's (whose height counts
// the mask too).
PictureHeader ReadIcon(const Reader& file, uint32_t count) {
    std::vector<uint8_t> directory(static_cast<size_t>(count) * 16);
    if (!file.Read(6, directory.data(), directory.size())) return {};
    int64_t width = 0, height = 0;
    bool complete = true;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = &directory[static_cast<size_t>(i) * 16];
        int64_t imageWidth = entry[0] != 0 ? entry[0] : 256;
        int64_t imageHeight = entry[1] != 0 ? entry[1] : 256;
        const uint32_t size = Little32(entry + 8);
        const uint32_t offset = Little32(entry + 12);
        const PictureHeader png = ReadPng(file, offset, PictureFormat::Icon);
        // The image lies in the file, and a bitmap's colours and mask lie in the image.
        uint64_t tableEnd = 0, pixelBytes = 0;
        complete = complete && Holds(file, static_cast<uint64_t>(offset) + size) &&
                   (png.format != PictureFormat::Unknown ||
                    (DibExtent(file, offset, true, tableEnd, pixelBytes) && tableEnd + pixelBytes <= size));
        uint8_t dib[12];
        int64_t dibWidth = 0, dibHeight = 0;
        if (png.format != PictureFormat::Unknown) {
            imageWidth = std::max(imageWidth, png.width);
            imageHeight = std::max(imageHeight, png.height);
        } else if (file.Read(offset, dib, sizeof dib) && DibSize(dib, dibWidth, dibHeight)) {
            imageWidth = std::max(imageWidth, dibWidth < 0 ? -dibWidth : dibWidth);
            imageHeight = std::max(imageHeight, (dibHeight < 0 ? -dibHeight : dibHeight) / 2);
        }
        width = std::max(width, imageWidth);
        height = std::max(height, imageHeight);
    }
    PictureHeader icon = Sized(PictureFormat::Icon, width, height);
    icon.complete = complete;
    return icon;
}

PictureHeader ReadWmf(const Reader& file) {
    uint8_t header[16];
    if (!file.Read(0, header, sizeof header)) return {};
    const int64_t unitsPerInch = Little16(header + 14);
    if (unitsPerInch == 0) return {};
    PictureHeader picture =
        Sized(PictureFormat::Wmf, (Signed16(header + 10) - Signed16(header + 6)) * kHimetricPerInch / unitsPerInch,
              (Signed16(header + 12) - Signed16(header + 8)) * kHimetricPerInch / unitsPerInch);
    // The metafile behind the placeable header gives its size in 16-bit words.
    uint8_t metafile[10];
    if (file.Read(kPlaceableHeader, metafile, sizeof metafile))
        picture.complete = Holds(file, kPlaceableHeader + 2ull * Little32(metafile + 6));
    return picture;
}

PictureHeader ReadEmf(const Reader& file) {
    uint8_t header[52];
    if (!file.Read(0, header, sizeof header) || Little32(header + 40) != kEmfSignature) return {};
    // The frame, in hundredths of a millimetre.
    PictureHeader picture = Sized(PictureFormat::Emf, Signed32(header + 32) - Signed32(header + 24),
                                  Signed32(header + 36) - Signed32(header + 28));
    picture.complete = Holds(file, Little32(header + 48));
    return picture;
}
}  // namespace

PictureHeader ReadPictureHeader(const PictureBytes& bytes) {
    const Reader file(bytes);
    uint8_t start[8] = {};
    if (!file.Read(0, start, 4)) return {};
    if (start[0] == 'B' && start[1] == 'M') return ReadBmp(file);
    if (start[0] == 0xFF && start[1] == 0xD8) return ReadJpeg(file);
    if (std::memcmp(start, "GIF8", 4) == 0) return ReadGif(file);
    if (start[0] == kPngSignature[0]) return ReadPng(file, 0, PictureFormat::Png);
    if (Little32(start) == kPlaceableKey) return ReadWmf(file);
    if (Little32(start) == 1) return ReadEmf(file);
    const uint32_t type = Little16(start + 2);
    if (Little16(start) == 0 && (type == 1 || type == 2) && file.Read(0, start, 6) && Little16(start + 4) > 0)
        return ReadIcon(file, Little16(start + 4));
    return {};
}
