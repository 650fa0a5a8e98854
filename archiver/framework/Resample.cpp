#include "Resample.h"

#include <algorithm>

namespace {
// The pixels of the picture that one new pixel covers along one axis, with the
// share each has in it.
struct TCover {
    int First = 0;
    std::vector<float> Shares;
};

std::vector<TCover> Covers(int from, int to) {
    std::vector<TCover> covers(static_cast<size_t>(to));
    const double step = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double begin = i * step;
        const double end = std::min((i + 1) * step, static_cast<double>(from));
        TCover& cover = covers[static_cast<size_t>(i)];
        cover.First = static_cast<int>(begin);
        for (int pixel = cover.First; pixel < end; ++pixel)
            cover.Shares.push_back(
                static_cast<float>((std::min(end, pixel + 1.0) - std::max(begin, static_cast<double>(pixel))) / step));
    }
    return covers;
}

size_t At(int x, int y, int width) { return (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4; }
}  // namespace

TPixels Resample(const TPixels& picture, int width, int height) {
    TPixels result{width, height, {}};
    if (width <= 0 || height <= 0) return {};
    result.Bgra.resize(At(0, height, width));
    if (picture.Width <= 0 || picture.Height <= 0) return result;
    const std::vector<TCover> across = Covers(picture.Width, width);
    const std::vector<TCover> down = Covers(picture.Height, height);
    // Across first, into rows of the new width, then down.
    std::vector<float> rows(At(0, picture.Height, width));
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < width; ++x) {
            const TCover& cover = across[static_cast<size_t>(x)];
            float* to = &rows[At(x, y, width)];
            for (size_t k = 0; k < cover.Shares.size(); ++k) {
                const uint8_t* from = &picture.Bgra[At(cover.First + static_cast<int>(k), y, picture.Width)];
                for (int c = 0; c < 4; ++c) to[c] += static_cast<float>(from[c]) * cover.Shares[k];
            }
        }
    for (int y = 0; y < height; ++y) {
        const TCover& cover = down[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x) {
            float sum[4] = {};
            for (size_t k = 0; k < cover.Shares.size(); ++k) {
                const float* from = &rows[At(x, cover.First + static_cast<int>(k), width)];
                for (int c = 0; c < 4; ++c) sum[c] += from[c] * cover.Shares[k];
            }
            uint8_t* to = &result.Bgra[At(x, y, width)];
            for (int c = 0; c < 4; ++c) to[c] = static_cast<uint8_t>(std::clamp(sum[c] + 0.5f, 0.0f, 255.0f));
        }
    }
    return result;
}
