#include "JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {
// libjpeg's own error handler ends the process; this one jumps back to the decoder.
struct ErrorManager {
    jpeg_error_mgr library;
    std::jmp_buf escape;
};

[[noreturn]] void JumpBack(j_common_ptr decoder) {
    std::longjmp(reinterpret_cast<ErrorManager*>(decoder->err)->escape, 1);
}

void Silent(j_common_ptr, int) {}

// Between setjmp and a jump back no object with a destructor may live, so the
// decoding itself writes into memory owned by the caller.
bool Decode(jpeg_decompress_struct& decoder, const uint8_t* data, size_t size, std::vector<uint8_t>& pixels,
            int& width, int& height) {
    ErrorManager errors;
    decoder.err = jpeg_std_error(&errors.library);
    errors.library.error_exit = JumpBack;
    errors.library.emit_message = Silent;
    if (setjmp(errors.escape) != 0) {
        jpeg_destroy_decompress(&decoder);
        return false;
    }
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, data, static_cast<unsigned long>(size));
    jpeg_read_header(&decoder, TRUE);
    decoder.out_color_space = JCS_EXT_BGR;
    jpeg_calc_output_dimensions(&decoder);
    // A logo is small; a header claiming a giant picture is damaged data.
    if (decoder.output_width == 0 || decoder.output_height == 0 || decoder.output_width > 16384 ||
        decoder.output_height > 16384) {
        jpeg_destroy_decompress(&decoder);
        return false;
    }
    width = static_cast<int>(decoder.output_width);
    height = static_cast<int>(decoder.output_height);
    pixels.resize(static_cast<size_t>(width) * 3 * static_cast<size_t>(height));
    jpeg_start_decompress(&decoder);
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row = pixels.data() + static_cast<size_t>(decoder.output_scanline) * width * 3;
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    return true;
}
}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, TJpegImage& image) {
    if (data == nullptr || size == 0 || size > 0xFFFFFFFFu) return false;
    jpeg_decompress_struct decoder{};
    std::vector<uint8_t> pixels;
    int width = 0, height = 0;
    if (!Decode(decoder, data, size, pixels, width, height)) return false;
    image.Width = width;
    image.Height = height;
    image.Bgr = std::move(pixels);
    return true;
}
