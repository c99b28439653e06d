#include "tests/vstgui/PixelAccess.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/platform/DrawSurface.h"
#include "vstgui/platform/NullPlatform.h"

#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

using namespace VSTGUI;
using namespace vorpane::test;

namespace {

constexpr uint32_t kRed = argb(255, 255, 0, 0);
constexpr uint32_t kGreen = argb(255, 0, 255, 0);
constexpr uint32_t kBlue = argb(255, 0, 0, 255);

// How often a context replaced the realised drawing objects of its surface.
struct SurfaceCounters {
    int32_t penChanges = 0;
    int32_t brushChanges = 0;
    int32_t fontChanges = 0;
    int32_t clipChanges = 0;
    // The last values handed to the surface.
    platform::Pen pen;
    std::shared_ptr<const platform::PlatformFont> font;
    CColor textColor{};
    CColor textBackColor{};
    bool textBackgroundOpaque = false;
};

// A surface that counts them and keeps what it was handed.
class CountingSurface : public platform::DrawSurface {
  public:
    CountingSurface(cairo_surface_t* target, SurfaceCounters& counts)
        : DrawSurface(target), counts(counts) {}
    void selectPen(const platform::Pen& pen) override {
        ++counts.penChanges;
        counts.pen = pen;
        DrawSurface::selectPen(pen);
    }
    void selectBrush(CColor color) override {
        ++counts.brushChanges;
        DrawSurface::selectBrush(color);
    }
    void selectFont(std::shared_ptr<const platform::PlatformFont> font) override {
        ++counts.fontChanges;
        counts.font = font;
        DrawSurface::selectFont(std::move(font));
    }
    void setTextColor(CColor color) override {
        counts.textColor = color;
        DrawSurface::setTextColor(color);
    }
    void setTextBackColor(CColor color) override {
        counts.textBackColor = color;
        DrawSurface::setTextBackColor(color);
    }
    void setTextBackgroundOpaque(bool opaque) override {
        counts.textBackgroundOpaque = opaque;
        DrawSurface::setTextBackgroundOpaque(opaque);
    }
    void setClip(const CRect& r) override {
        ++counts.clipChanges;
        DrawSurface::setClip(r);
    }

  private:
    SurfaceCounters& counts;
};

// A platform without a display whose contexts draw through counting surfaces, installed for as
// long as it lives.
class CountingPlatform : public platform::NullPlatform {
  public:
    CountingPlatform() { platform::setPlatform(this); }
    ~CountingPlatform() override { platform::setPlatform(nullptr); }
    std::unique_ptr<platform::DrawSurface> createDrawSurface(cairo_surface_t* target) override {
        return std::make_unique<CountingSurface>(target, counts);
    }
    SurfaceCounters counts;
};

// A context on a cleared image surface.
class ImageContext : public ::testing::Test {
  protected:
    static constexpr int kWidth = 120;
    static constexpr int kHeight = 60;

    uint32_t at(int x, int y) const { return pixelAt(image, x, y); }
    const SurfaceCounters& counters() const { return system.counts; }
    // The set of pixels equal to value, as a bounding rectangle (empty when none).
    CRect extentOf(uint32_t value) const {
        CRect r(kWidth, kHeight, kWidth, kHeight);
        bool any = false;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (at(x, y) == value) {
                    r = any ? CRect(std::min<int32_t>(r.left, x), std::min<int32_t>(r.top, y),
                                    std::max<int32_t>(r.right, x + 1),
                                    std::max<int32_t>(r.bottom, y + 1))
                            : CRect(x, y, x + 1, y + 1);
                    any = true;
                }
        return any ? r : CRect();
    }
    int countOf(uint32_t value) const {
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                n += at(x, y) == value;
        return n;
    }
    // Pixels that are neither 0 nor value: the ink of text.
    CRect inkExtent() const {
        CRect r;
        bool any = false;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if ((at(x, y) >> 24) != 0) {
                    const CRect p(x, y, x + 1, y + 1);
                    if (!any) r = p;
                    r = CRect(std::min(r.left, p.left), std::min(r.top, p.top),
                              std::max(r.right, p.right), std::max(r.bottom, p.bottom));
                    any = true;
                }
        return r;
    }

    CountingPlatform system;
    SurfaceHolder image{platform::DrawSurface::createImage(kWidth, kHeight)};
    CDrawContext* context = new CDrawContext(nullptr, image, nullptr);

    ~ImageContext() override { context->forget(); }
};

} // namespace

TEST_F(ImageContext, StartsWithTheDocumentedState) {
    EXPECT_EQ(context->getFont(), kSystemFont);
    EXPECT_EQ(context->getFontSize(), 12);
    EXPECT_EQ(context->getFontStyle(), 0);
    EXPECT_EQ(context->getFontColor(), kWhiteCColor);
    EXPECT_EQ(context->getFrameColor(), kWhiteCColor);
    EXPECT_EQ(context->getFillColor(), kBlackCColor);
    EXPECT_EQ(context->getLineWidth(), 1);
    EXPECT_EQ(context->getLineStyle(), 0);
    CRect clip;
    EXPECT_EQ(context->getClipRect(clip), CRect(0, 0, 1000, 1000));
    EXPECT_EQ(context->offset, CPoint(0, 0));
    EXPECT_EQ(context->screenOffset, CPoint(0, 0));
    EXPECT_EQ(counters().penChanges, 1);
    EXPECT_EQ(counters().brushChanges, 1);
    EXPECT_EQ(counters().fontChanges, 1);
    EXPECT_EQ(counters().clipChanges, 0);
    EXPECT_EQ(context->getNbReference(), 1);
}

TEST_F(ImageContext, SettersTouchNothingWhenTheValueIsUnchanged) {
    context->setFrameColor(kWhiteCColor);
    context->setLineWidth(1);
    context->setLineStyle(0);
    context->setFillColor(kBlackCColor);
    context->setFont(kSystemFont);
    context->setFont(kSystemFont, 12, 0);
    context->setFont(42); // out of range: entry 0, unchanged
    context->setClipRect(CRect(0, 0, 1000, 1000));
    EXPECT_EQ(counters().penChanges, 1);
    EXPECT_EQ(counters().brushChanges, 1);
    EXPECT_EQ(counters().fontChanges, 1);
    EXPECT_EQ(counters().clipChanges, 0);

    context->setFrameColor(kRedCColor);
    context->setLineWidth(2);
    context->setLineStyle(1);
    EXPECT_EQ(counters().penChanges, 4);
    EXPECT_EQ(counters().pen, (platform::Pen{1, 2, kRedCColor}));
    context->setFillColor(kRedCColor);
    EXPECT_EQ(counters().brushChanges, 2);
    EXPECT_EQ(counters().textBackColor, kRedCColor);
    context->setFont(kNormalFontBig, 0, kItalicFace);
    context->setFont(kNormalFontBig, 14, kItalicFace);
    EXPECT_EQ(counters().fontChanges, 2);
    context->setClipRect(CRect(1, 2, 3, 4));
    context->setClipRect(CRect(1, 2, 3, 4));
    EXPECT_EQ(counters().clipChanges, 1);

    // The text colour is applied every time, even when unchanged.
    context->setFontColor(kBlueCColor);
    EXPECT_EQ(counters().textColor, kBlueCColor);
    EXPECT_EQ(context->getFontColor(), kBlueCColor);
}

TEST_F(ImageContext, FontTableEntriesSizesAndStyles) {
    const platform::PlatformFont* font = counters().font.get();
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->request().bold); // entry 0 is always bold
    EXPECT_EQ(font->family(), "Liberation Sans");
    EXPECT_EQ(font->weight(), FC_WEIGHT_BOLD);

    context->setFont(9);
    EXPECT_EQ(context->getFont(), kSystemFont);
    EXPECT_EQ(context->getFontSize(), 12);

    context->setFont(kNormalFontBig);
    font = counters().font.get();
    EXPECT_EQ(context->getFontSize(), 14);
    EXPECT_EQ(font->request().pixelHeight, 14);
    EXPECT_FALSE(font->request().bold);
    EXPECT_EQ(font->family(), "Liberation Sans");
    EXPECT_EQ(font->weight(), FC_WEIGHT_REGULAR);

    context->setFont(kNormalFont, 20, kBoldFace | kItalicFace | kUnderlineFace);
    font = counters().font.get();
    EXPECT_EQ(font->request().pixelHeight, 20);
    EXPECT_TRUE(font->request().bold && font->request().italic && font->request().underline);
    EXPECT_EQ(font->weight(), FC_WEIGHT_BOLD);
    EXPECT_EQ(font->slant(), FC_SLANT_ITALIC);

    context->setFont(kSymbolFont);
    EXPECT_EQ(context->getFontSize(), 13);
    EXPECT_EQ(counters().font.get()->family(), "Standard Symbols PS");

    context->setFont(kSystemFont, 0, 0);
    EXPECT_TRUE(counters().font.get()->request().bold);
}

TEST_F(ImageContext, FillRectLeavesOutTheFirstColumnAndRow) {
    context->setFillColor(kRedCColor);
    context->fillRect(CRect(0, 0, 10, 10));
    EXPECT_EQ(extentOf(kRed), CRect(1, 1, 10, 10));
    EXPECT_EQ(countOf(kRed), 81);
    EXPECT_EQ(at(0, 5), 0u);
    EXPECT_EQ(at(5, 0), 0u);
    EXPECT_EQ(at(9, 9), kRed);
    EXPECT_EQ(at(10, 10), 0u);

    // An empty rectangle fills nothing.
    context->setFillColor(kBlueCColor);
    context->fillRect(CRect(30, 30, 30, 30));
    context->fillRect(CRect(30, 30, 31, 31));
    EXPECT_EQ(countOf(kBlue), 0);
}

TEST_F(ImageContext, DrawRectStyles) {
    context->setFillColor(kRedCColor);
    context->setFrameColor(kGreenCColor);
    context->drawRect(CRect(0, 0, 10, 10), kDrawFilled);
    EXPECT_EQ(countOf(kRed), 100);
    EXPECT_EQ(extentOf(kRed), CRect(0, 0, 10, 10));

    context->drawRect(CRect(20, 0, 30, 10), kDrawStroked);
    EXPECT_EQ(extentOf(kGreen), CRect(20, 0, 30, 10));
    EXPECT_EQ(countOf(kGreen), 36); // the ring of a 10 x 10 square
    EXPECT_EQ(at(25, 5), 0u);

    context->drawRect(CRect(40, 0, 50, 10), kDrawFilledAndStroked);
    EXPECT_EQ(at(40, 0), kGreen);
    EXPECT_EQ(at(49, 9), kGreen);
    EXPECT_EQ(at(45, 5), kRed);

    const int before = countOf(0);
    context->drawRect(CRect(60, 0, 70, 10), 3);
    EXPECT_EQ(countOf(0), before);
}

TEST_F(ImageContext, LinesLeaveOutTheirEndPoint) {
    context->setFrameColor(kRedCColor);
    context->moveTo(CPoint(2, 5));
    context->lineTo(CPoint(8, 5));
    EXPECT_EQ(extentOf(kRed), CRect(2, 5, 8, 6));

    context->setFrameColor(kGreenCColor);
    context->lineTo(CPoint(8, 1)); // upwards from the previous end point
    EXPECT_EQ(extentOf(kGreen), CRect(8, 2, 9, 6));

    context->setFrameColor(kBlueCColor);
    context->moveTo(CPoint(20, 20));
    context->lineTo(CPoint(25, 25));
    EXPECT_EQ(countOf(kBlue), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(at(20 + i, 20 + i), kBlue);
    EXPECT_EQ(at(25, 25), 0u);
}

TEST_F(ImageContext, WideAndDottedLines) {
    context->setFrameColor(kRedCColor);
    context->setLineWidth(3);
    context->moveTo(CPoint(10, 10));
    context->lineTo(CPoint(20, 10));
    EXPECT_EQ(extentOf(kRed), CRect(9, 9, 21, 12));

    context->setFrameColor(kBlueCColor);
    context->setLineWidth(1);
    context->setLineStyle(kLineOnOffDash);
    context->moveTo(CPoint(0, 40));
    context->lineTo(CPoint(10, 40));
    EXPECT_EQ(countOf(kBlue), 5);
    EXPECT_EQ(at(0, 40), kBlue);
    EXPECT_EQ(at(1, 40), 0u);
    EXPECT_EQ(at(8, 40), kBlue);
}

TEST_F(ImageContext, OffsetMovesEveryOperationAndTheClipIsReadBack) {
    context->offset = CPoint(10, 20);
    context->setFillColor(kRedCColor);
    context->fillRect(CRect(0, 0, 5, 5));
    EXPECT_EQ(extentOf(kRed), CRect(11, 21, 15, 25));

    context->setFrameColor(kGreenCColor);
    context->moveTo(CPoint(0, 10));
    context->lineTo(CPoint(3, 10));
    EXPECT_EQ(extentOf(kGreen), CRect(10, 30, 13, 31));

    context->setClipRect(CRect(0, 0, 50, 30));
    CRect clip;
    EXPECT_EQ(context->getClipRect(clip), CRect(0, 0, 50, 30));
    context->offset = CPoint(0, 0);
    EXPECT_EQ(context->getClipRect(clip), CRect(10, 20, 60, 50));
}

TEST_F(ImageContext, ClippingIsExactlyTheRectangleSet) {
    context->setClipRect(CRect(2, 3, 6, 9));
    context->setFillColor(kRedCColor);
    context->drawRect(CRect(0, 0, 20, 20), kDrawFilled);
    EXPECT_EQ(extentOf(kRed), CRect(2, 3, 6, 9));
    EXPECT_EQ(countOf(kRed), 24);

    // A new clip replaces the old one rather than narrowing it.
    context->setClipRect(CRect(10, 10, 12, 12));
    context->setFillColor(kBlueCColor);
    context->drawRect(CRect(0, 0, 20, 20), kDrawFilled);
    EXPECT_EQ(extentOf(kBlue), CRect(10, 10, 12, 12));
}

TEST_F(ImageContext, LeftAlignedTextStartsOnePixelIn) {
    context->setFont(kNormalFontBig);
    context->setFillColor(kRedCColor);
    context->setFontColor(kBlackCColor);
    context->drawString("Azimuth", CRect(10, 10, 110, 40), 1, kLeftText);
    const CRect background = extentOf(kRed);
    EXPECT_EQ(background.left, 11);
    EXPECT_EQ(countOf(kRed) > 0, true);
    for (int y = 0; y < kHeight; ++y)
        EXPECT_EQ(at(10, y), 0u);
    // Vertically centred: the text background sits in the middle of the rectangle.
    EXPECT_NEAR((background.top + background.bottom) / 2.0, 25.0, 1.0);
    EXPECT_GE(background.top, 10);
    EXPECT_LE(background.bottom, 40);
    // The background mode goes back to transparent afterwards.
    EXPECT_FALSE(counters().textBackgroundOpaque);
}

TEST_F(ImageContext, CentredAndRightAlignedText) {
    context->setFillColor(kRedCColor);
    context->drawString("Mid", CRect(0, 0, 120, 30), 1, kCenterText);
    const CRect centred = extentOf(kRed);
    EXPECT_NEAR(centred.left, kWidth - centred.right, 1);

    context->setFillColor(kBlueCColor);
    context->drawString("End", CRect(0, 30, 100, 60), 1, kRightText);
    EXPECT_EQ(extentOf(kBlue).right, 100);
}

TEST_F(ImageContext, TransparentTextDrawsOnlyInkClippedToItsRectangle) {
    context->setFontColor(kWhiteCColor);
    context->drawString("A very long line that does not fit", CRect(20, 20, 60, 40), 0, kLeftText);
    const CRect ink = inkExtent();
    EXPECT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left, 21);
    EXPECT_LE(ink.right, 60);
    EXPECT_GE(ink.top, 20);
    EXPECT_LE(ink.bottom, 40);
    EXPECT_EQ(countOf(argb(255, 0, 0, 0)), 0); // no background painted

    const int before = countOf(0);
    context->drawString(nullptr, CRect(0, 0, 100, 20), 1, kLeftText);
    EXPECT_EQ(countOf(0), before);
}

TEST_F(ImageContext, UnderlinedTextReachesBelowTheBaseline) {
    context->setFont(kNormalFont, 16, 0);
    context->drawString("ace", CRect(0, 0, 60, 60), 0, kLeftText);
    const CRect plain = inkExtent();
    context->setFont(kNormalFont, 16, kUnderlineFace);
    context->drawString("ace", CRect(60, 0, 120, 60), 0, kLeftText);
    const CRect both = inkExtent();
    EXPECT_GT(both.bottom, plain.bottom);

    // A negative size draws upright text of that magnitude, inside the rectangle.
    context->setFont(kNormalFont, -16, 0);
    context->setFillColor(kRedCColor);
    context->drawString("ace", CRect(0, 0, 60, 30), 1, kLeftText);
    const CRect background = extentOf(kRed);
    EXPECT_GE(background.top, 0);
    EXPECT_GT(background.height(), 10);
}

TEST_F(ImageContext, AbsurdFontSizesLeaveTheContextUsable) {
    for (const int32_t size : {100000, INT32_MAX, INT32_MIN}) {
        context->setFont(kNormalFont, size, 0);
        context->drawString("Hg", CRect(0, 0, 40, 40), 1, kLeftText);
        context->setFillColor(kGreenCColor);
        context->drawRect(CRect(50, 0, 60, 10), kDrawFilled);
        EXPECT_EQ(at(55, 5), kGreen) << size;
        context->setFillColor(kBlueCColor);
        context->drawRect(CRect(50, 0, 60, 10), kDrawFilled);
        EXPECT_EQ(at(55, 5), kBlue) << size;
    }
}

namespace {

// A pretend display: a window at (30, 20) with its own image surface.
class FakeWindowServices : public platform::NullPlatform {
  public:
    cairo_surface_t* acquireWindowSurface(platform::WindowHandle) override {
        ++acquired;
        return platform::DrawSurface::createImage(40, 40);
    }
    void releaseWindowSurface(platform::WindowHandle w, cairo_surface_t* s) override {
        ++released;
        platform::WindowServices::releaseWindowSurface(w, s);
    }
    CPoint windowScreenOrigin(platform::WindowHandle) override { return CPoint(30, 20); }
    CPoint pointerScreenPosition(platform::WindowHandle) override { return CPoint(100, 50); }
    int32_t buttonState(platform::WindowHandle) override { return kLButton | kShift; }

    int acquired = 0;
    int released = 0;
};

} // namespace

TEST(DrawContextWindow, TakesTheWindowsSurfaceAndPosition) {
    FakeWindowServices services;
    platform::setPlatform(&services);
    int window = 0;
    {
        auto* context = new CDrawContext(nullptr, nullptr, &window);
        EXPECT_EQ(services.acquired, 1);
        ASSERT_NE(context->getDrawSurface(), nullptr);
        EXPECT_EQ(context->screenOffset, CPoint(30, 20));
        CPoint where;
        EXPECT_EQ(context->getMouseLocation(where), CPoint(70, 30));
        // A container shifts both offsets by its position; the pointer follows.
        context->offset.offset(5, 6);
        context->screenOffset.offset(5, 6);
        EXPECT_EQ(context->getMouseLocation(where), CPoint(65, 24));
        EXPECT_EQ(context->getMouseButtons(), kLButton | kShift);
        context->forget();
    }
    EXPECT_EQ(services.released, 1);
    platform::NullPlatform noDisplay;
    platform::setPlatform(&noDisplay);

    // Without a display: no surface, nothing drawn, the pointer at the origin.
    auto* headless = new CDrawContext(nullptr, nullptr, &window);
    EXPECT_EQ(headless->getDrawSurface(), nullptr);
    headless->fillRect(CRect(0, 0, 10, 10));
    headless->drawString("x", CRect(0, 0, 10, 10), 1, kLeftText);
    EXPECT_EQ(headless->getMouseButtons(), 0);
    headless->forget();
    platform::setPlatform(nullptr);
}
