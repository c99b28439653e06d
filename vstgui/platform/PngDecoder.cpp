#include "vstgui/platform/PngDecoder.h"

#include "vstgui/platform/DrawSurface.h"

#include <png.h>

#include <bit>
#include <cstring>

namespace VSTGUI::platform {

namespace {

// The largest side a cairo image surface can have.
constexpr png_uint_32 kMaxSide = 32767;

struct ByteSource {
    std::span<const uint8_t> bytes;
    size_t position = 0;
};

void readBytes(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<ByteSource*>(png_get_io_ptr(png));
    if (count > source->bytes.size() - source->position)
        png_error(png, "read past the end of the image data");
    std::memcpy(out, source->bytes.data() + source->position, count);
    source->position += count;
}

// Runs libpng on the prepared structures; false when libpng reported an error. Only plain data
// lives in this frame, since an error leaves it by longjmp.
bool readImage(png_structp png, png_infop info, DecodedPng& out) {
    if (setjmp(png_jmpbuf(png))) return false;

    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    out.surface =
        DrawSurface::createImage(static_cast<int32_t>(width), static_cast<int32_t>(height));
    if (!out.surface) return false;
    out.width = static_cast<int32_t>(width);
    out.height = static_cast<int32_t>(height);

    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    // The pixels are native 32-bit words with alpha in the top byte.
    constexpr bool littleEndian = std::endian::native == std::endian::little;
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    else if ((colorType & PNG_COLOR_MASK_ALPHA) == 0)
        png_set_filler(png, 0xff, littleEndian ? PNG_FILLER_AFTER : PNG_FILLER_BEFORE);
    if (bitDepth == 16) png_set_strip_16(png);
    if constexpr (littleEndian)
        png_set_bgr(png);
    else
        png_set_swap_alpha(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4)
        png_error(png, "unexpected row size after transformation");

    cairo_surface_flush(out.surface);
    unsigned char* pixels = cairo_image_surface_get_data(out.surface);
    const int stride = cairo_image_surface_get_stride(out.surface);
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, pixels + static_cast<size_t>(y) * stride, nullptr);
    png_read_end(png, nullptr);
    return true;
}

void premultiply(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(pixels + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            if (a == 0) {
                row[x] = 0;
                continue;
            }
            const uint32_t r = (((p >> 16) & 0xff) * a) >> 8;
            const uint32_t g = (((p >> 8) & 0xff) * a) >> 8;
            const uint32_t b = ((p & 0xff) * a) >> 8;
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface);
}

} // namespace

DecodedPng decodePng(std::span<const uint8_t> bytes) {
    DecodedPng out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return out;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return out;
    }
    png_set_user_limits(png, kMaxSide, kMaxSide);
    ByteSource source{bytes, 0};
    png_set_read_fn(png, &source, readBytes);
    out.complete = readImage(png, info, out);
    png_destroy_read_struct(&png, &info, nullptr);
    // Rows decoded before an error are kept, premultiplied like a complete image.
    if (out.surface) premultiply(out.surface);
    return out;
}

} // namespace VSTGUI::platform
