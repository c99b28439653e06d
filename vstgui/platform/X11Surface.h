#pragma once

#include <X11/Xlib.h>
#include <cairo.h>

namespace VSTGUI::platform {

// A cairo surface drawing on an X window of the given visual and size.
cairo_surface_t* createX11WindowSurface(Display* display, Window window, Visual* visual, int width,
                                        int height);

} // namespace VSTGUI::platform
