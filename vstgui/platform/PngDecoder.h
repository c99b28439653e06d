#pragma once

#include <cairo.h>
#include <cstdint>
#include <span>

namespace VSTGUI::platform {

// Result of decoding a PNG image into a cairo image surface of 32-bit premultiplied pixels.
struct DecodedPng {
    int32_t width = 0;
    int32_t height = 0;
    cairo_surface_t* surface = nullptr; // owned by the caller; null when nothing could be made
    bool complete = false;              // false when libpng reported an error on the way
};

// Decodes any valid PNG (all colour types and bit depths, interlaced or not). Pixels carry
// colour multiplied by alpha as (c * a) >> 8, fully transparent pixels are all zero. On a
// decoding error the image keeps the rows decoded so far; pixels not reached are zero.
DecodedPng decodePng(std::span<const uint8_t> bytes);

} // namespace VSTGUI::platform
