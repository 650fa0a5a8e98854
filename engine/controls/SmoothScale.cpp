#include "SmoothScale.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "../framework/GdiObject.h"

namespace {
// How one new pixel along an axis is made: from `first` on, each old pixel with
// its weight; the weights of one new pixel add up to 1.
struct Span {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Span> Spans(int from, int to) {
    std::vector<Span> spans(static_cast<size_t>(to));
    const double ratio = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double begin = i * ratio;
        const double end = std::min(begin + ratio, static_cast<double>(from));
        Span& span = spans[static_cast<size_t>(i)];
        span.first = std::min(static_cast<int>(begin), from - 1);
        for (int old = span.first; old < end; ++old) {
            const double covered = std::min(end, old + 1.0) - std::max(begin, static_cast<double>(old));
            span.weights.push_back(static_cast<float>(covered / (end - begin)));
        }
    }
    return spans;
}

BITMAPINFO TopDown32(SIZE size) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return info;
}

// One axis at a time, four channels a pixel: `lines` lines of `from` pixels become
// lines of `to` pixels; across the rows of a row-major picture, or down its columns.
std::vector<float> AlongAxis(const std::vector<float>& pixels, int from, int to, int lines, bool across) {
    const std::vector<Span> spans = Spans(from, to);
    std::vector<float> result(static_cast<size_t>(to) * lines * 4);
    for (int line = 0; line < lines; ++line)
        for (int i = 0; i < to; ++i) {
            const Span& span = spans[static_cast<size_t>(i)];
            float* out = &result[(across ? static_cast<size_t>(line) * to + i : static_cast<size_t>(i) * lines + line) * 4];
            for (size_t k = 0; k < span.weights.size(); ++k) {
                const int old = span.first + static_cast<int>(k);
                const float* in =
                    &pixels[(across ? static_cast<size_t>(line) * from + old : static_cast<size_t>(old) * lines + line) * 4];
                for (int c = 0; c < 4; ++c) out[c] += in[c] * span.weights[k];
            }
        }
    return result;
}
}  // namespace

HBITMAP SmoothScaled(HBITMAP bitmap, SIZE size) {
    BITMAP source{};
    if (bitmap == nullptr || size.cx <= 0 || size.cy <= 0 || ::GetObjectA(bitmap, sizeof source, &source) == 0 ||
        source.bmWidth <= 0 || source.bmHeight <= 0)
        return nullptr;
    const SIZE from{source.bmWidth, source.bmHeight};
    BITMAPINFO fromInfo = TopDown32(from);
    std::vector<uint8_t> bytes(static_cast<size_t>(from.cx) * from.cy * 4);
    {
        ScreenDC screen;
        if (::GetDIBits(screen, bitmap, 0, static_cast<UINT>(from.cy), bytes.data(), &fromInfo, DIB_RGB_COLORS) == 0)
            return nullptr;
    }
    std::vector<float> pixels(bytes.begin(), bytes.end());
    pixels = AlongAxis(pixels, from.cx, size.cx, from.cy, true);
    pixels = AlongAxis(pixels, from.cy, size.cy, size.cx, false);

    BITMAPINFO toInfo = TopDown32(size);
    void* bits = nullptr;
    HBITMAP scaled = ::CreateDIBSection(nullptr, &toInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (scaled == nullptr) return nullptr;
    auto* out = static_cast<uint8_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) out[i] = static_cast<uint8_t>(std::clamp(pixels[i] + 0.5f, 0.0f, 255.0f));
    ::GdiFlush();
    return scaled;
}
