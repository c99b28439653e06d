#include "tests/support/MemoryBitmap.h"
#include "tests/vstgui/PixelAccess.h"
#include "tests/vstgui/PngWriter.h"
#include "vstgui/CBitmap.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/platform/DrawSurface.h"
#include "vstgui/platform/PngDecoder.h"

#include <gtest/gtest.h>

using namespace VSTGUI;
using namespace vorpane::test;

namespace {

// A bitmap of a PNG made by the test, through the plug-in's decoder.
MemoryBitmap* fromPng(const PngImage& image) {
    const platform::DecodedPng decoded = platform::decodePng(encodePng(image));
    return new MemoryBitmap(decoded.surface, decoded.width, decoded.height);
}

class BitmapDrawing : public ::testing::Test {
  protected:
    uint32_t at(int x, int y) const { return pixelAt(target, x, y); }
    void clearTo(uint32_t value) {
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 160; ++x)
                setPixel(target, x, y, value);
    }

    SurfaceHolder target{platform::DrawSurface::createImage(160, 160)};
    CDrawContext* context = new CDrawContext(nullptr, target, nullptr);
    ~BitmapDrawing() override { context->forget(); }
};

} // namespace

TEST_F(BitmapDrawing, FilmStripFrameCopiesItsOwnRows) {
    // Row y of the strip carries y in its red and green channels.
    MemoryBitmap* strip = fromPng(rgbaImage(150, 7500, [](uint32_t, uint32_t y) {
        return std::array<uint32_t, 4>{y >> 8, y & 255, 0, 255};
    }));
    ASSERT_EQ(strip->getHeight(), 7500);
    clearTo(argb(255, 0, 0, 255));
    strip->draw(context, CRect(5, 5, 155, 155), CPoint(0, 49 * 150));
    for (int y = 0; y < 150; ++y) {
        const uint32_t row = 7350 + y;
        ASSERT_EQ(at(80, 5 + y), argb(255, ((row >> 8) * 255) >> 8, ((row & 255) * 255) >> 8, 0))
            << y;
    }
    EXPECT_EQ(at(80, 4), argb(255, 0, 0, 255));
    EXPECT_EQ(at(80, 155), argb(255, 0, 0, 255));
    EXPECT_EQ(at(4, 80), argb(255, 0, 0, 255));

    // A frame beyond the strip reads nothing and draws nothing.
    clearTo(argb(255, 0, 0, 255));
    strip->draw(context, CRect(0, 0, 150, 150), CPoint(0, 7450));
    EXPECT_EQ(at(10, 49), argb(255, ((7499 >> 8) * 255) >> 8, ((7499 & 255) * 255) >> 8, 0));
    EXPECT_EQ(at(10, 50), argb(255, 0, 0, 255));
    strip->forget();
}

TEST_F(BitmapDrawing, SourceOverWithPremultipliedPixelsAndConstantAlpha) {
    MemoryBitmap* bitmap = fromPng(rgbaImage(3, 1, [](uint32_t x, uint32_t) {
        const uint32_t alpha[3] = {0, 128, 255};
        return std::array<uint32_t, 4>{255, 255, 255, alpha[x]};
    }));
    clearTo(argb(255, 0, 0, 0));
    bitmap->draw(context, CRect(0, 0, 3, 1));
    EXPECT_EQ(at(0, 0), argb(255, 0, 0, 0)); // contributes nothing
    EXPECT_EQ(at(1, 0), argb(255, 127, 127, 127));
    EXPECT_EQ(at(2, 0), argb(255, 254, 254, 254));

    clearTo(argb(255, 0, 0, 0));
    bitmap->drawAlphaBlend(context, CRect(0, 0, 3, 1), CPoint(0, 0), 128);
    EXPECT_NEAR(static_cast<int>(at(2, 0) & 255), 127, 1);
    EXPECT_NEAR(static_cast<int>(at(1, 0) & 255), 64, 1);

    // drawTransparent of an image with alpha is the same as draw.
    clearTo(argb(255, 255, 255, 255));
    bitmap->drawTransparent(context, CRect(10, 10, 13, 11));
    EXPECT_EQ(at(10, 10), argb(255, 255, 255, 255));
    EXPECT_EQ(at(12, 10), argb(255, 254, 254, 254));
    bitmap->forget();
}

TEST_F(BitmapDrawing, ColourKeyedCopyLeavesOutExactlyPureWhite) {
    auto* bitmap = new MemoryBitmap(
        4, 1,
        [](int x, int) {
            const uint32_t colours[4] = {0xFFFFFF, 0xFEFFFF, 0xFFFFFE, 0x102030};
            return colours[x];
        },
        MemoryBitmap::Pixels::withoutAlpha);
    clearTo(argb(255, 255, 0, 0));
    bitmap->drawTransparent(context, CRect(0, 0, 4, 1));
    EXPECT_EQ(at(0, 0), argb(255, 255, 0, 0));
    EXPECT_EQ(at(1, 0), argb(255, 254, 255, 255));
    EXPECT_EQ(at(2, 0), argb(255, 255, 255, 254));
    EXPECT_EQ(at(3, 0), argb(255, 0x10, 0x20, 0x30));

    // draw copies every pixel, white included.
    bitmap->draw(context, CRect(0, 1, 4, 2));
    EXPECT_EQ(at(0, 1), argb(255, 255, 255, 255));

    // Another key colour.
    bitmap->setTransparentColor(MakeCColor(0x10, 0x20, 0x30));
    clearTo(argb(255, 255, 0, 0));
    bitmap->drawTransparent(context, CRect(0, 0, 4, 1));
    EXPECT_EQ(at(0, 0), argb(255, 255, 255, 255));
    EXPECT_EQ(at(3, 0), argb(255, 255, 0, 0));
    bitmap->forget();
}

TEST_F(BitmapDrawing, OffsetsAndClipApplyToBitmaps) {
    MemoryBitmap* bitmap = fromPng(rgbaImage(2, 2, [](uint32_t, uint32_t) {
        return std::array<uint32_t, 4>{0, 255, 0, 255};
    }));
    clearTo(0);
    context->offset = CPoint(100, 100);
    context->setClipRect(CRect(0, 0, 1, 2));
    bitmap->draw(context, CRect(0, 0, 2, 2));
    EXPECT_EQ(at(100, 100), argb(255, 0, 254, 0));
    EXPECT_EQ(at(100, 101), argb(255, 0, 254, 0));
    EXPECT_EQ(at(101, 100), 0u);
    // Negative source offsets read nothing before the image.
    context->setClipRect(CRect(-100, -100, 60, 60));
    bitmap->draw(context, CRect(-50, -50, -46, -46), CPoint(-2, -2));
    EXPECT_EQ(at(50, 50), 0u);
    EXPECT_EQ(at(52, 52), argb(255, 0, 254, 0));
    EXPECT_EQ(at(53, 53), argb(255, 0, 254, 0));
    bitmap->forget();
}

TEST(Bitmap, MissingResourceIsEmptyAndDrawsNothing) {
    auto* bitmap = new CBitmap(5);
    EXPECT_EQ(bitmap->getWidth(), 0);
    EXPECT_EQ(bitmap->getHeight(), 0);
    EXPECT_FALSE(bitmap->isLoaded());
    EXPECT_EQ(bitmap->getTransparentColor(), kTransparentCColor);
    SurfaceHolder target(platform::DrawSurface::createImage(10, 10));
    auto* context = new CDrawContext(nullptr, target, nullptr);
    bitmap->draw(context, CRect(0, 0, 10, 10));
    bitmap->drawTransparent(context, CRect(0, 0, 10, 10));
    bitmap->drawAlphaBlend(context, CRect(0, 0, 10, 10), CPoint(0, 0), 255);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(pixelAt(target, x, y), 0u);
    EXPECT_FALSE(bitmap->loadFromResource(7));
    EXPECT_FALSE(bitmap->loadFromFile("/dev/null"));
    bitmap->draw(nullptr, CRect(0, 0, 10, 10));
    context->forget();
    bitmap->forget();
}
