#pragma once

#include <cairo.h>

#include <cstdint>

namespace vorpane::test {

// The 32-bit pixel (0xAARRGGBB, premultiplied) at (x, y) of an image surface.
inline uint32_t pixelAt(cairo_surface_t* surface, int x, int y) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const uint32_t*>(data + y * stride)[x];
}

inline void setPixel(cairo_surface_t* surface, int x, int y, uint32_t value) {
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    reinterpret_cast<uint32_t*>(data + y * stride)[x] = value;
    cairo_surface_mark_dirty(surface);
}

constexpr uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// Owns a cairo surface for the length of a test.
class SurfaceHolder {
  public:
    explicit SurfaceHolder(cairo_surface_t* s) : s(s) {}
    SurfaceHolder(SurfaceHolder&& other) noexcept : s(other.s) { other.s = nullptr; }
    SurfaceHolder(const SurfaceHolder&) = delete;
    SurfaceHolder& operator=(const SurfaceHolder&) = delete;
    ~SurfaceHolder() {
        if (s) cairo_surface_destroy(s);
    }
    cairo_surface_t* get() const { return s; }
    operator cairo_surface_t*() const { return s; }

  private:
    cairo_surface_t* s;
};

} // namespace vorpane::test
