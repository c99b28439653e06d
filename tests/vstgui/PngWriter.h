#pragma once

#include <png.h>

#include <cstdint>
#include <vector>

namespace vorpane::test {

// A PNG image to encode: raw rows in the PNG's own sample layout (packed for depths below 8,
// big-endian for 16 bits), plus an optional palette and transparency chunk.
struct PngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    int colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<uint8_t> paletteAlpha; // tRNS entries of a palette image
    bool hasTransparentColor = false;  // tRNS colour of a grey or RGB image
    png_color_16 transparentColor{};
    std::vector<std::vector<uint8_t>> rows;
};

// Encodes the image into the bytes of a PNG file.
std::vector<uint8_t> encodePng(const PngImage& image);

// An 8-bit RGBA image of the given size whose rows come from fn(x, y) -> {r, g, b, a}.
template <typename Fn> PngImage rgbaImage(uint32_t width, uint32_t height, Fn fn) {
    PngImage image;
    image.width = width;
    image.height = height;
    for (uint32_t y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (uint32_t x = 0; x < width; ++x) {
            const auto [r, g, b, a] = fn(x, y);
            for (const uint32_t sample : {r, g, b, a})
                row.push_back(uint8_t(sample));
        }
        image.rows.push_back(std::move(row));
    }
    return image;
}

} // namespace vorpane::test
