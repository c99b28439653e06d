#pragma once

#include <cairo.h>

#include <string>

namespace artwork {

// Writes an ARGB32 cairo surface as an 8-bit RGBA, non-interlaced PNG with no time stamp, so
// that the same picture always gives the same file. False when the file cannot be written.
bool writeRgbaPng(cairo_surface_t* surface, const std::string& path);

} // namespace artwork
