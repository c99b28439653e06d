#include "vstgui/platform/X11Surface.h"

#include <cairo-xlib.h>

namespace VSTGUI::platform {

void prepareX11Drawing(Display* display) {
    // cairo keeps its state per connection from the first surface on; the surface itself is
    // not needed and sends nothing.
    const int screen = DefaultScreen(display);
    cairo_surface_destroy(cairo_xlib_surface_create(display, RootWindow(display, screen),
                                                    DefaultVisual(display, screen), 1, 1));
}

cairo_surface_t* createX11WindowSurface(Display* display, Window window, Visual* visual, int width,
                                        int height) {
    cairo_surface_t* surface = cairo_xlib_surface_create(display, window, visual, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

} // namespace VSTGUI::platform
