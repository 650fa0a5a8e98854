#pragma once
// Picture files as bytes, headers alone where a test needs only what they claim.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace TestPictures {
inline std::string Le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}; }
inline std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }
inline std::string Be16(uint32_t v) { return {static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v & 0xFF)}; }
inline std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }

// A segment of a JPEG file, its length in front.
inline std::string Segment(uint8_t marker, const std::string& body) {
    return std::string("\xFF", 1) + static_cast<char>(marker) + Be16(static_cast<uint32_t>(body.size() + 2)) + body;
}
// A frame header: start of frame `marker` (0xC0 baseline, 0xC2 progressive), one component.
inline std::string Frame(uint8_t marker, uint16_t width, uint16_t height) {
    return Segment(marker, "\x08" + Be16(height) + Be16(width) + std::string("\x01\x01\x11\x00", 4));
}
inline const std::string kJpegStart("\xFF\xD8", 2);
inline std::string Jpeg(uint16_t width, uint16_t height) { return kJpegStart + Frame(0xC0, width, height) + "\xFF\xD9"; }

inline std::string Png(uint32_t width, uint32_t height) {
    return std::string("\x89PNG\r\n\x1A\n", 8) + Be32(13) + "IHDR" + Be32(width) + Be32(height) + "\x08\x02" +
           std::string(3, '\0');
}
// A device-independent bitmap's header, without its pixels (or its colours).
inline std::string Dib(int32_t width, int32_t height, uint16_t bits = 24, uint32_t compression = 0,
                       uint32_t imageSize = 0) {
    return Le32(40) + Le32(static_cast<uint32_t>(width)) + Le32(static_cast<uint32_t>(height)) + Le16(1) + Le16(bits) +
           Le32(compression) + Le32(imageSize) + std::string(16, '\0');
}
// A bitmap file's headers, its pixels announced right behind them.
inline std::string Bmp(int32_t width, int32_t height, uint16_t bits = 24, uint32_t compression = 0,
                       uint32_t imageSize = 0) {
    return "BM" + std::string(8, '\0') + Le32(54) + Dib(width, height, bits, compression, imageSize);
}
inline std::string Gif(uint16_t width, uint16_t height, const std::string& blocks = ";") {
    return "GIF89a" + Le16(width) + Le16(height) + std::string(3, '\0') + blocks;
}
// An icon file: a directory entry for each image (a side of 0 meaning 256), the images behind them.
inline std::string Icon(const std::vector<std::pair<uint8_t, std::string>>& images) {
    std::string directory = Le16(0) + Le16(1) + Le16(static_cast<uint32_t>(images.size())), data;
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (const auto& [side, image] : images) {
        directory += std::string{static_cast<char>(side), static_cast<char>(side)} + std::string(6, '\0') +
                     Le32(static_cast<uint32_t>(image.size())) + Le32(offset);
        offset += static_cast<uint32_t>(image.size());
        data += image;
    }
    return directory + data;
}
}  // namespace TestPictures
