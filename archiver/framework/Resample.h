#pragma once
#include <cstdint>
#include <vector>

// A picture of four bytes a pixel (blue, green, red, alpha; the colours
// premultiplied by alpha), rows top-down.
struct TPixels {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Bgra;
};

// The picture at another size, smooth both ways: each new pixel is the average of
// the part of the picture it covers. Being premultiplied, see-through parts blend
// into their neighbours' edges without lending them a colour.
TPixels Resample(const TPixels& picture, int width, int height);
