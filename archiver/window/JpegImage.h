#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A JPEG picture decoded by libjpeg into rows of blue, green and red bytes.
struct TJpegImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Bgr;  // Height rows of Width * 3 bytes, top row first
};

// False, with `image` untouched, for data that is not a JPEG picture libjpeg can
// decode; damaged data never ends the program.
bool DecodeJpeg(const uint8_t* data, size_t size, TJpegImage& image);
