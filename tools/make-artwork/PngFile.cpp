#include "PngFile.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace artwork {

namespace {

std::vector<uint8_t> straightRgbaRow(const uint32_t* pixels, int width) {
    std::vector<uint8_t> row(static_cast<size_t>(width) * 4);
    for (int x = 0; x < width; ++x) {
        const uint32_t p = pixels[x];
        const uint32_t a = p >> 24;
        const uint32_t c[3] = {(p >> 16) & 255, (p >> 8) & 255, p & 255};
        for (int i = 0; i < 3; ++i)
            row[x * 4 + i] = a == 0 ? 0 : static_cast<uint8_t>((c[i] * 255 + a / 2) / a);
        row[x * 4 + 3] = static_cast<uint8_t>(a);
    }
    return row;
}

} // namespace

bool writeRgbaPng(cairo_surface_t* surface, const std::string& path) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);

    std::vector<std::vector<uint8_t>> rows;
    std::vector<png_bytep> rowPointers;
    for (int y = 0; y < height; ++y)
        rows.push_back(
            straightRgbaRow(reinterpret_cast<const uint32_t*>(data + y * stride), width));
    for (auto& row : rows)
        rowPointers.push_back(row.data());

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rowPointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

} // namespace artwork
