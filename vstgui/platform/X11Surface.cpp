#include "vstgui/platform/X11Surface.h"

#include <cairo-xlib.h>

namespace VSTGUI::platform {

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
