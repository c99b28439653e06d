#include "tests/vstgui/PixelAccess.h"
#include "vstgui/CBitmap.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/platform/DrawSurface.h"
#include "vstgui/platform/PngDecoder.h"
#include "vstgui/platform/Resources.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace VSTGUI;
using namespace vorpane::test;

namespace {

// The decoded pixels of a bitmap, drawn onto a cleared surface of its size.
SurfaceHolder pixelsOf(CBitmap& bitmap) {
    SurfaceHolder out(platform::DrawSurface::createImage(bitmap.getWidth(), bitmap.getHeight()));
    auto* context = new CDrawContext(nullptr, out, nullptr);
    bitmap.draw(context, CRect(0, 0, bitmap.getWidth(), bitmap.getHeight()));
    context->forget();
    return out;
}

} // namespace

TEST(EmbeddedImages, BackgroundIsAnOpaquePanel) {
    auto* background = new CBitmap(1);
    ASSERT_EQ(background->getWidth(), 454);
    ASSERT_EQ(background->getHeight(), 302);
    const SurfaceHolder pixels = pixelsOf(*background);
    for (int y = 0; y < 302; ++y)
        for (int x = 0; x < 454; ++x)
            ASSERT_EQ(pixelAt(pixels, x, y) >> 24, 255u) << x << "," << y;
    background->forget();
}

TEST(EmbeddedImages, FilmStripsAreTransparentAtEveryFramesCorners) {
    for (const int id : {10, 100}) {
        auto* strip = new CBitmap(id);
        ASSERT_EQ(strip->getWidth(), 150) << id;
        ASSERT_EQ(strip->getHeight(), 7500) << id;
        const SurfaceHolder pixels = pixelsOf(*strip);
        for (int frame = 0; frame < 50; ++frame) {
            const int top = frame * 150;
            for (const auto& [x, y] : {std::pair{0, 0}, {149, 0}, {0, 149}, {149, 149}, {5, 5}})
                EXPECT_EQ(pixelAt(pixels, x, top + y), 0u) << id << " frame " << frame;
            // The disc's middle is opaque.
            EXPECT_EQ(pixelAt(pixels, 75, top + 120) >> 24, 255u) << id << " frame " << frame;
        }
        strip->forget();
    }
}

TEST(EmbeddedImages, OnlyThePngResourcesExist) {
    EXPECT_FALSE(platform::findResource("PNG", 1).empty());
    EXPECT_TRUE(platform::findResource("PNG", 2).empty());
    EXPECT_TRUE(platform::findResource("BMP", 1).empty());
    EXPECT_TRUE(platform::findResource("PNG", -1).empty());
}

TEST(EmbeddedImages, ArtworkToolRegeneratesTheSamePixels) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vorpane-artwork-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    // Leak checking of sanitizer builds is off for the tool: fontconfig loses a few bytes.
    const std::string command =
        "ASAN_OPTIONS=detect_leaks=0 " + std::string(VORPANE_MAKE_ARTWORK) + " " + folder.string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::pair<const char*, int> images[] = {
        {"background.png", 1}, {"azimuth-strip.png", 10}, {"elevation-strip.png", 100}};
    for (const auto& [name, id] : images) {
        std::ifstream file(folder / name, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        const platform::DecodedPng made = platform::decodePng(bytes);
        const platform::DecodedPng embedded =
            platform::decodePng(platform::findResource("PNG", id));
        ASSERT_TRUE(made.complete && embedded.complete) << name;
        ASSERT_EQ(made.width, embedded.width);
        ASSERT_EQ(made.height, embedded.height);
        const size_t size = size_t(made.height) * cairo_image_surface_get_stride(made.surface);
        EXPECT_EQ(0, std::memcmp(cairo_image_surface_get_data(made.surface),
                                 cairo_image_surface_get_data(embedded.surface), size))
            << name << " differs from the committed image";
        cairo_surface_destroy(made.surface);
        cairo_surface_destroy(embedded.surface);
    }
    std::filesystem::remove_all(folder);
}
