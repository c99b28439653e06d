#include "tests/vstgui/PixelAccess.h"
#include "vstgui/COffscreenContext.h"
#include "vstgui/platform/DrawSurface.h"

#include <gtest/gtest.h>

using namespace VSTGUI;
using namespace vorpane::test;

namespace {

constexpr uint32_t kRed = argb(255, 255, 0, 0);
constexpr uint32_t kBlue = argb(255, 0, 0, 255);

int countOf(cairo_surface_t* s, uint32_t value) {
    int n = 0;
    for (int y = 0; y < cairo_image_surface_get_height(s); ++y)
        for (int x = 0; x < cairo_image_surface_get_width(s); ++x)
            n += pixelAt(s, x, y) == value;
    return n;
}

} // namespace

TEST(OffscreenContext, EveryPixelStartsInTheBackgroundColour) {
    auto* buffer = new COffscreenContext(nullptr, 23, 11, MakeCColor(10, 20, 30, 0));
    ASSERT_NE(buffer->getPixmap(), nullptr);
    EXPECT_EQ(countOf(buffer->getPixmap(), argb(255, 10, 20, 30)), 23 * 11);
    CRect clip;
    EXPECT_EQ(buffer->getClipRect(clip), CRect(0, 0, 23, 11));
    EXPECT_EQ(buffer->getWidth(), 23);
    EXPECT_EQ(buffer->getFillColor(), MakeCColor(10, 20, 30, 0));
    buffer->forget();

    auto* empty = new COffscreenContext(nullptr, 0, 0);
    empty->fillRect(CRect(0, 0, 5, 5));
    empty->forget();

    // A buffer of a single pixel too.
    auto* single = new COffscreenContext(nullptr, 1, 1, kBlueCColor);
    EXPECT_EQ(pixelAt(single->getPixmap(), 0, 0), kBlue);
    EXPECT_EQ(single->getFrameColor(), kBlueCColor);
    single->forget();
}

TEST(OffscreenContext, AnEmptyBufferCopiesNothing) {
    SurfaceHolder window(platform::DrawSurface::createImage(20, 20));
    auto* target = new CDrawContext(nullptr, window, nullptr);
    target->setFillColor(kRedCColor);
    target->drawRect(CRect(0, 0, 20, 20), kDrawFilled);
    auto* empty = new COffscreenContext(nullptr, 0, 0);
    empty->copyFrom(target, CRect(0, 0, 10, 10), CPoint(0, 0));
    EXPECT_EQ(countOf(window, kRed), 400);
    empty->forget();
    target->forget();
}

TEST(OffscreenContext, CopyFromPlacesABlockAtTheDestinationsOffset) {
    auto* buffer = new COffscreenContext(nullptr, 20, 20, kBlackCColor);
    buffer->setFillColor(kRedCColor);
    buffer->drawRect(CRect(5, 5, 10, 10), kDrawFilled);

    SurfaceHolder window(platform::DrawSurface::createImage(50, 50));
    auto* target = new CDrawContext(nullptr, window, nullptr);
    target->offset = CPoint(10, 10);
    buffer->copyFrom(target, CRect(0, 0, 5, 5), CPoint(5, 5));
    EXPECT_EQ(countOf(window, kRed), 25);
    EXPECT_EQ(pixelAt(window, 10, 10), kRed);
    EXPECT_EQ(pixelAt(window, 14, 14), kRed);
    EXPECT_EQ(pixelAt(window, 15, 15), 0u);

    // A block reaching past the buffer copies only what the buffer has.
    buffer->copyFrom(target, CRect(20, 20, 40, 40), CPoint(10, 10));
    EXPECT_EQ(countOf(window, argb(255, 0, 0, 0)), 100);
    EXPECT_EQ(pixelAt(window, 39, 39), argb(255, 0, 0, 0));
    EXPECT_EQ(pixelAt(window, 40, 40), 0u);

    // The destination's clip applies.
    target->setClipRect(CRect(0, 0, 2, 2));
    buffer->copyFrom(target, CRect(0, 0, 5, 5), CPoint(0, 0));
    EXPECT_EQ(pixelAt(window, 11, 11), argb(255, 0, 0, 0));
    EXPECT_EQ(pixelAt(window, 12, 12), kRed);
    target->forget();
    buffer->forget();
}

TEST(OffscreenContext, CopyToTakesABlockOfAnotherContext) {
    SurfaceHolder window(platform::DrawSurface::createImage(50, 50));
    auto* source = new CDrawContext(nullptr, window, nullptr);
    source->setFillColor(kBlueCColor);
    source->drawRect(CRect(30, 30, 34, 34), kDrawFilled);
    source->offset = CPoint(20, 20);

    auto* buffer = new COffscreenContext(nullptr, 10, 10, kRedCColor);
    buffer->offset = CPoint(3, 3); // not applied to the destination
    buffer->copyTo(source, CRect(10, 10, 14, 14), CPoint(1, 2));
    cairo_surface_t* pixels = buffer->getPixmap();
    EXPECT_EQ(countOf(pixels, kBlue), 16);
    EXPECT_EQ(pixelAt(pixels, 1, 2), kBlue);
    EXPECT_EQ(pixelAt(pixels, 4, 5), kBlue);
    EXPECT_EQ(pixelAt(pixels, 5, 6), kRed);
    buffer->forget();
    source->forget();
}

TEST(OffscreenContext, CopyWithinTheSameSurfaceOverlapping) {
    auto* buffer = new COffscreenContext(nullptr, 10, 1, kBlackCColor);
    for (int x = 0; x < 10; ++x)
        setPixel(buffer->getPixmap(), x, 0, argb(255, x, 0, 0));
    buffer->copyTo(buffer, CRect(0, 0, 8, 1), CPoint(2, 0));
    for (int x = 2; x < 10; ++x)
        EXPECT_EQ(pixelAt(buffer->getPixmap(), x, 0), argb(255, x - 2, 0, 0));
    buffer->forget();
}
