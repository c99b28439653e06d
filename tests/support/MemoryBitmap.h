// A bitmap whose pixels a test or a benchmark makes in memory, standing in for the panel's
// images: from a function of the position, or from an image surface made elsewhere (a decoded
// PNG).
#pragma once

#include "vstgui/CBitmap.h"
#include "vstgui/platform/DrawSurface.h"

#include <cairo.h>

#include <cstdint>
#include <type_traits>

namespace vorpane::test {

class MemoryBitmap : public VSTGUI::CBitmap {
  public:
    // How the pixels are kept: opaque pixels with alpha draw by compositing; pixels without alpha
    // draw by copying, and drawTransparent leaves out the transparent colour.
    enum class Pixels { withAlpha, withoutAlpha };

    // width x height opaque pixels; colour(x, y) gives each one as a CColor (its alpha unused) or
    // as 0xRRGGBB.
    template <class Colour>
    MemoryBitmap(int32_t w, int32_t h, Colour colour, Pixels pixels = Pixels::withAlpha)
        : CBitmap(-1) {
        handle = pixels == Pixels::withAlpha ? VSTGUI::platform::DrawSurface::createImage(w, h)
                                             : cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
        width = w;
        height = h;
        noAlpha = pixels == Pixels::withoutAlpha;
        unsigned char* data = cairo_image_surface_get_data(handle);
        const int stride = cairo_image_surface_get_stride(handle);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                reinterpret_cast<uint32_t*>(data + y * stride)[x] = 0xFF000000u | rgb(colour(x, y));
        cairo_surface_mark_dirty(handle);
    }

    // Takes over an image surface of this size.
    MemoryBitmap(cairo_surface_t* image, int32_t w, int32_t h) : CBitmap(-1) {
        handle = image;
        width = w;
        height = h;
    }

  private:
    static uint32_t rgb(uint32_t value) { return value & 0xFFFFFFu; }
    static uint32_t rgb(const VSTGUI::CColor& c) {
        return (uint32_t(c.red) << 16) | (uint32_t(c.green) << 8) | c.blue;
    }
};

} // namespace vorpane::test
