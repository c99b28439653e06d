#include "tests/vstgui/PngWriter.h"

#include <stdexcept>

namespace vorpane::test {

namespace {

void appendBytes(png_structp png, png_bytep data, size_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void flushNothing(png_structp) {}

} // namespace

std::vector<uint8_t> encodePng(const PngImage& image) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    for (const auto& row : image.rows)
        rows.push_back(const_cast<png_bytep>(row.data()));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG encoding failed");
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    // Small image data chunks, so that a file cut in the middle still holds whole chunks.
    png_set_compression_buffer_size(png, 1024);
    png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colorType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!image.palette.empty())
        png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
    if (!image.paletteAlpha.empty())
        png_set_tRNS(png, info, image.paletteAlpha.data(),
                     static_cast<int>(image.paletteAlpha.size()), nullptr);
    if (image.hasTransparentColor)
        png_set_tRNS(png, info, nullptr, 0, const_cast<png_color_16p>(&image.transparentColor));
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace vorpane::test
