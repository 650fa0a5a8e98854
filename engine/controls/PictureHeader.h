#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

// What a picture file claims to be before anything decodes it: its format and
// the size the platform's picture loader would make of it. Read from the
// header alone, so that a file claiming more than a page can hold is never
// handed to the loader, which would try to hold it whole.
enum class PictureFormat { Unknown, Bmp, Jpeg, Gif, Png, Icon, Wmf, Emf };

struct PictureHeader {
    PictureFormat format = PictureFormat::Unknown;
    // Pixels; for the two metafile formats hundredths of a millimetre (HIMETRIC),
    // which the loader turns into pixels at the screen's DPI.
    int64_t width = 0;
    int64_t height = 0;
    // The file holds every byte the header says the picture has: a bitmap's
    // colour table and pixels (as many as its sides and depth take, or the
    // size it gives when compressed), every image of an icon file with a
    // bitmap's colours and mask, a metafile's records. The platform's loaders
    // would take a short file's missing pixels from memory beyond it.
    bool complete = true;

    bool Scalable() const { return format == PictureFormat::Wmf || format == PictureFormat::Emf; }
};

// Copies up to `size` bytes from `offset` into `buffer`; fewer at the end of the file.
using PictureBytes = std::function<size_t(uint64_t offset, uint8_t* buffer, size_t size)>;

// The formats the loader reads (BMP, JPEG, GIF, PNG, icons and cursors, placeable
// WMF, EMF), each with the largest size any part of it claims: a GIF's screen or
// first frame, the largest image of an icon file by its own header as well as by
// its directory. Unknown, 0 x 0, for any other file, a header cut short or a
// size of zero. Only the few bytes needed are read, and the reader ends on any input.
PictureHeader ReadPictureHeader(const PictureBytes& bytes);
