#include "tests/vstgui/PixelAccess.h"
#include "tests/vstgui/PngWriter.h"
#include "vstgui/platform/PngDecoder.h"

#include <gtest/gtest.h>

#include <random>

using namespace vorpane::test;
using VSTGUI::platform::DecodedPng;
using VSTGUI::platform::decodePng;

namespace {

// Decodes and owns the result.
struct Decoded {
    explicit Decoded(const std::vector<uint8_t>& bytes) : png(decodePng(bytes)) {}
    ~Decoded() {
        if (png.surface) cairo_surface_destroy(png.surface);
    }
    uint32_t at(int x, int y) const { return pixelAt(png.surface, x, y); }
    DecodedPng png;
};

PngImage singleRowImage(int colorType, int bitDepth, std::vector<uint8_t> row, uint32_t width) {
    PngImage image;
    image.width = width;
    image.height = 1;
    image.colorType = colorType;
    image.bitDepth = bitDepth;
    image.rows.push_back(std::move(row));
    return image;
}

// Random RGBA pixels: compress badly, so a cut through the file lands inside the image data.
PngImage noiseImage(uint32_t width, uint32_t height, uint32_t seed) {
    std::mt19937 rng(seed);
    auto next = [&] { return static_cast<uint32_t>(rng() & 255); };
    return rgbaImage(width, height, [&](uint32_t, uint32_t) {
        return std::array<uint32_t, 4>{next(), next(), next(), 255};
    });
}

uint32_t opaque(uint32_t r, uint32_t g, uint32_t b) {
    return argb(255, (r * 255) >> 8, (g * 255) >> 8, (b * 255) >> 8);
}

} // namespace

TEST(PngDecoding, PremultipliesWithShiftAndZeroesTransparentPixels) {
    const PngImage image = rgbaImage(4, 1, [](uint32_t x, uint32_t) {
        switch (x) {
        case 0:
            return std::array<uint32_t, 4>{200, 100, 50, 0}; // hidden colour
        case 1:
            return std::array<uint32_t, 4>{255, 255, 255, 128}; // half transparent white
        case 2:
            return std::array<uint32_t, 4>{255, 255, 255, 255}; // opaque white
        default:
            return std::array<uint32_t, 4>{10, 20, 30, 255};
        }
    });
    Decoded d(encodePng(image));
    ASSERT_TRUE(d.png.complete);
    EXPECT_EQ(d.png.width, 4);
    EXPECT_EQ(d.png.height, 1);
    EXPECT_EQ(d.at(0, 0), 0u);
    EXPECT_EQ(d.at(1, 0), argb(128, 127, 127, 127));
    EXPECT_EQ(d.at(2, 0), argb(255, 254, 254, 254));
    EXPECT_EQ(d.at(3, 0), opaque(10, 20, 30));
    // Memory order is blue, green, red, alpha.
    const unsigned char* bytes = cairo_image_surface_get_data(d.png.surface) + 3 * 4;
    EXPECT_EQ(bytes[0], (30 * 255) >> 8);
    EXPECT_EQ(bytes[2], (10 * 255) >> 8);
    EXPECT_EQ(bytes[3], 255);
}

TEST(PngDecoding, RowsKeepTheirOrderTopToBottom) {
    const PngImage image = rgbaImage(2, 3, [](uint32_t, uint32_t y) {
        return std::array<uint32_t, 4>{y * 100, 0, 0, 255};
    });
    Decoded d(encodePng(image));
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(d.at(1, y), opaque(y * 100, 0, 0)) << y;
}

TEST(PngDecoding, ColourTypesWithoutAlphaBecomeOpaque) {
    {
        Decoded d(encodePng(singleRowImage(PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 250, 128, 0}, 2)));
        EXPECT_EQ(d.at(0, 0), opaque(1, 2, 3));
        EXPECT_EQ(d.at(1, 0), opaque(250, 128, 0));
    }
    {
        Decoded d(encodePng(singleRowImage(PNG_COLOR_TYPE_GRAY, 8, {0, 77, 255}, 3)));
        EXPECT_EQ(d.at(0, 0), opaque(0, 0, 0));
        EXPECT_EQ(d.at(1, 0), opaque(77, 77, 77));
        EXPECT_EQ(d.at(2, 0), opaque(255, 255, 255));
    }
    {
        // 1-bit grey: 1, 0, 1 packed into the high bits of one byte.
        Decoded d(encodePng(singleRowImage(PNG_COLOR_TYPE_GRAY, 1, {0b10100000}, 3)));
        EXPECT_EQ(d.at(0, 0), opaque(255, 255, 255));
        EXPECT_EQ(d.at(1, 0), opaque(0, 0, 0));
        EXPECT_EQ(d.at(2, 0), opaque(255, 255, 255));
    }
    {
        // 16-bit RGB keeps the high byte of each sample.
        Decoded d(encodePng(
            singleRowImage(PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF}, 1)));
        EXPECT_EQ(d.at(0, 0), opaque(0x12, 0xAB, 0xFF));
    }
}

TEST(PngDecoding, ColourTypesWithAlpha) {
    {
        Decoded d(encodePng(singleRowImage(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {200, 128, 90, 0}, 2)));
        EXPECT_EQ(d.at(0, 0), argb(128, 100, 100, 100));
        EXPECT_EQ(d.at(1, 0), 0u);
    }
    {
        // 16-bit RGBA: alpha 0x80xx is 128 after reduction.
        Decoded d(encodePng(singleRowImage(PNG_COLOR_TYPE_RGB_ALPHA, 16,
                                           {0xFF, 0x00, 0x00, 0x00, 0x40, 0x00, 0x80, 0x7F}, 1)));
        EXPECT_EQ(d.at(0, 0), argb(128, 127, 0, 32));
    }
    {
        // An RGB image whose transparency chunk names one colour.
        PngImage image = singleRowImage(PNG_COLOR_TYPE_RGB, 8, {9, 8, 7, 9, 8, 6}, 2);
        image.hasTransparentColor = true;
        image.transparentColor.red = 9;
        image.transparentColor.green = 8;
        image.transparentColor.blue = 7;
        Decoded d(encodePng(image));
        EXPECT_EQ(d.at(0, 0), 0u);
        EXPECT_EQ(d.at(1, 0), opaque(9, 8, 6));
    }
    {
        PngImage image = singleRowImage(PNG_COLOR_TYPE_GRAY, 8, {50, 60}, 2);
        image.hasTransparentColor = true;
        image.transparentColor.gray = 60;
        Decoded d(encodePng(image));
        EXPECT_EQ(d.at(0, 0), opaque(50, 50, 50));
        EXPECT_EQ(d.at(1, 0), 0u);
    }
}

TEST(PngDecoding, PaletteImagesWithAndWithoutTransparency) {
    PngImage image = singleRowImage(PNG_COLOR_TYPE_PALETTE, 4, {0x01, 0x20}, 3);
    image.palette = {{10, 20, 30}, {255, 0, 0}, {0, 0, 255}};
    {
        Decoded d(encodePng(image));
        EXPECT_EQ(d.at(0, 0), opaque(10, 20, 30));
        EXPECT_EQ(d.at(1, 0), opaque(255, 0, 0));
        EXPECT_EQ(d.at(2, 0), opaque(0, 0, 255));
    }
    image.paletteAlpha = {0, 128}; // entry 2 has no alpha entry: opaque
    {
        Decoded d(encodePng(image));
        EXPECT_EQ(d.at(0, 0), 0u);
        EXPECT_EQ(d.at(1, 0), argb(128, 127, 0, 0));
        EXPECT_EQ(d.at(2, 0), opaque(0, 0, 255));
    }
}

TEST(PngDecoding, InterlacedImagesDecodeLikePlainOnes) {
    PngImage image = noiseImage(37, 29, 7);
    for (auto& row : image.rows)
        for (size_t i = 3; i < row.size(); i += 4)
            row[i] = static_cast<uint8_t>(i * 13);
    Decoded plain(encodePng(image));
    image.interlaced = true;
    Decoded interlaced(encodePng(image));
    ASSERT_TRUE(interlaced.png.complete);
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_EQ(interlaced.at(x, y), plain.at(x, y)) << x << "," << y;
}

TEST(PngDecoding, TruncatedFileKeepsDecodedRowsAndLeavesTheRestZero) {
    const PngImage image = noiseImage(64, 64, 3);
    std::vector<uint8_t> bytes = encodePng(image);
    bytes.resize(bytes.size() / 2);
    Decoded d(bytes);
    EXPECT_FALSE(d.png.complete);
    ASSERT_NE(d.png.surface, nullptr);
    EXPECT_EQ(d.png.width, 64);
    EXPECT_EQ(d.png.height, 64);
    const auto& first = image.rows[0];
    EXPECT_EQ(d.at(0, 0), opaque(first[0], first[1], first[2]));
    const auto& row10 = image.rows[10];
    EXPECT_EQ(d.at(5, 10), opaque(row10[20], row10[21], row10[22]));
    for (int x = 0; x < 64; ++x)
        EXPECT_EQ(d.at(x, 63), 0u);
}

TEST(PngDecoding, CorruptOrForeignDataGivesNoCrashAndNoStaleMemory) {
    const std::vector<uint8_t> good = encodePng(noiseImage(16, 16, 5));
    {
        std::vector<uint8_t> bytes = good;
        bytes[bytes.size() / 2] ^= 0x5A; // inside the image data: its checksum fails
        Decoded d(bytes);
        EXPECT_FALSE(d.png.complete);
        EXPECT_EQ(d.png.width, 16);
        ASSERT_NE(d.png.surface, nullptr);
        // Whatever was decoded is valid premultiplied data: no colour exceeds its alpha.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint32_t p = d.at(x, y), a = p >> 24;
                EXPECT_TRUE(((p >> 16) & 255) <= a && ((p >> 8) & 255) <= a && (p & 255) <= a);
            }
    }
    {
        Decoded d(std::vector<uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
        EXPECT_FALSE(d.png.complete);
        EXPECT_EQ(d.png.surface, nullptr);
        EXPECT_EQ(d.png.width, 0);
    }
    {
        Decoded d(std::vector<uint8_t>{});
        EXPECT_FALSE(d.png.complete);
        EXPECT_EQ(d.png.width, 0);
    }
    {
        // Only the signature and part of the header.
        Decoded d(std::vector<uint8_t>(good.begin(), good.begin() + 20));
        EXPECT_FALSE(d.png.complete);
        EXPECT_EQ(d.png.surface, nullptr);
    }
}

TEST(PngDecoding, OversizedHeaderIsRefusedWithoutAllocating) {
    PngImage image = singleRowImage(PNG_COLOR_TYPE_GRAY, 8, std::vector<uint8_t>(40000, 0), 40000);
    Decoded d(encodePng(image));
    EXPECT_FALSE(d.png.complete);
    EXPECT_EQ(d.png.surface, nullptr);
    EXPECT_EQ(d.png.width, 0);
    EXPECT_EQ(d.png.height, 0);
}
