#include "SmoothScale.h"

#include <algorithm>
#include <cstdint>
#include <new>
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

BITMAPINFO Info32(SIZE size, bool topDown) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, topDown ? -size.cy : size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return info;
}

// The old picture's lines, fetched from the bitmap a band at a time, top line first.
class SourceLines {
public:
    SourceLines(HBITMAP bitmap, SIZE size)
        : m_bitmap(bitmap), m_size(size), m_band(static_cast<size_t>(size.cx) * kBandLines * 4) {}

    // Lines are asked for in order, each possibly more than once; null when the bitmap cannot be read.
    const uint8_t* Line(int y) {
        if (y < m_first || y >= m_first + m_count) {
            m_first = y;
            m_count = std::min(kBandLines, static_cast<int>(m_size.cy) - y);
            // Scan lines count from the bottom: the band's lowest line comes first.
            BITMAPINFO info = Info32(m_size, false);
            ScreenDC screen;
            if (::GetDIBits(screen, m_bitmap, static_cast<UINT>(m_size.cy - y - m_count), static_cast<UINT>(m_count),
                            m_band.data(), &info, DIB_RGB_COLORS) != m_count) {
                m_count = 0;
                return nullptr;
            }
        }
        return &m_band[static_cast<size_t>(m_first + m_count - 1 - y) * m_size.cx * 4];
    }

private:
    static constexpr int kBandLines = 64;
    HBITMAP m_bitmap;
    SIZE m_size;
    std::vector<uint8_t> m_band;
    int m_first = 0;
    int m_count = 0;
};

// An old line made as wide as the new picture, four channels a pixel. The last
// two made are kept: each is used by the new lines around it, which come in order.
class WidenedLines {
public:
    WidenedLines(SourceLines& source, int fromWidth, int toWidth)
        : m_source(source), m_spans(Spans(fromWidth, toWidth)) {
        for (Kept& kept : m_kept) kept.values.resize(static_cast<size_t>(toWidth) * 4);
    }

    const float* Line(int y) {
        for (const Kept& kept : m_kept)
            if (kept.y == y) return kept.values.data();
        Kept& kept = m_kept[m_next];
        m_next = 1 - m_next;
        const uint8_t* line = m_source.Line(y);
        if (line == nullptr) return nullptr;
        std::fill(kept.values.begin(), kept.values.end(), 0.0f);
        for (size_t i = 0; i < m_spans.size(); ++i) {
            const Span& span = m_spans[i];
            float* out = &kept.values[i * 4];
            for (size_t k = 0; k < span.weights.size(); ++k) {
                const uint8_t* in = &line[(static_cast<size_t>(span.first) + k) * 4];
                for (int c = 0; c < 4; ++c) out[c] += static_cast<float>(in[c]) * span.weights[k];
            }
        }
        kept.y = y;
        return kept.values.data();
    }

private:
    struct Kept {
        int y = -1;
        std::vector<float> values;
    };
    SourceLines& m_source;
    std::vector<Span> m_spans;
    Kept m_kept[2];
    int m_next = 0;
};

// One axis at a time, line by line: across each old line, then down, so that
// beside the two pictures only a band of old lines and two widened lines are held.
bool Resample(HBITMAP bitmap, SIZE from, SIZE to, uint8_t* out) {
    SourceLines source(bitmap, from);
    WidenedLines widened(source, from.cx, to.cx);
    const std::vector<Span> spans = Spans(from.cy, to.cy);
    std::vector<float> sum(static_cast<size_t>(to.cx) * 4);
    for (int y = 0; y < to.cy; ++y) {
        const Span& span = spans[static_cast<size_t>(y)];
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (size_t k = 0; k < span.weights.size(); ++k) {
            const float* in = widened.Line(span.first + static_cast<int>(k));
            if (in == nullptr) return false;
            for (size_t i = 0; i < sum.size(); ++i) sum[i] += in[i] * span.weights[k];
        }
        uint8_t* line = out + static_cast<size_t>(y) * to.cx * 4;
        for (size_t i = 0; i < sum.size(); ++i) line[i] = static_cast<uint8_t>(std::clamp(sum[i] + 0.5f, 0.0f, 255.0f));
    }
    return true;
}
}  // namespace

HBITMAP SmoothScaled(HBITMAP bitmap, SIZE size) {
    BITMAP source{};
    if (bitmap == nullptr || size.cx <= 0 || size.cy <= 0 || ::GetObjectA(bitmap, sizeof source, &source) == 0 ||
        source.bmWidth <= 0 || source.bmHeight <= 0)
        return nullptr;
    BITMAPINFO toInfo = Info32(size, true);
    void* bits = nullptr;
    BitmapHandle scaled(::CreateDIBSection(nullptr, &toInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!scaled) return nullptr;
    bool done = false;
    try {
        done = Resample(bitmap, {source.bmWidth, source.bmHeight}, size, static_cast<uint8_t*>(bits));
    } catch (const std::bad_alloc&) {
        // Left unscaled, as a picture the platform could not scale is.
    }
    if (!done) return nullptr;
    ::GdiFlush();
    return scaled.Release();
}
