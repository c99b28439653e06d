#pragma once

#include <cairo.h>

namespace artwork {

constexpr int kFrameSize = 150;
constexpr int kFrameCount = 50;

// Film strips of kFrameCount frames of kFrameSize x kFrameSize stacked top to bottom, each a
// blue disc with a head and a small sphere at the direction of the sound; transparent outside
// the disc.

// Seen from above, nose up; the sphere goes from the listener's left over the front to the right.
cairo_surface_t* paintAzimuthStrip();
// Seen from the side, facing left, wearing headphones; the sphere goes from in front and below
// over the top to behind and below.
cairo_surface_t* paintElevationStrip();

} // namespace artwork
