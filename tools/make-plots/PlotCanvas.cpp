#include "tools/make-plots/PlotCanvas.h"

namespace plots {

PlotCanvas::PlotCanvas(int width, int height)
    : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
      context(cairo_create(surface)) {
    cairo_set_source_rgb(context, 1, 1, 1);
    cairo_paint(context);
    cairo_set_source_rgb(context, 0, 0, 0);
}

PlotCanvas::~PlotCanvas() {
    cairo_destroy(context);
    cairo_surface_destroy(surface);
}

void PlotCanvas::text(const std::string& text, double x, double y, double size, Align align,
                      bool bold, double angle) {
    cairo_save(context);
    cairo_select_font_face(context, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(context, size);
    cairo_text_extents_t extents;
    cairo_text_extents(context, text.c_str(), &extents);
    cairo_translate(context, x, y);
    cairo_rotate(context, angle);
    const double shift = align == Align::left     ? 0.0
                         : align == Align::centre ? extents.x_advance / 2
                                                  : extents.x_advance;
    cairo_move_to(context, -shift, 0);
    cairo_show_text(context, text.c_str());
    cairo_restore(context);
}

void PlotCanvas::line(double x0, double y0, double x1, double y1, double width) {
    cairo_set_line_width(context, width);
    cairo_move_to(context, x0, y0);
    cairo_line_to(context, x1, y1);
    cairo_stroke(context);
}

bool PlotCanvas::writePng(const std::string& path) const {
    cairo_surface_flush(surface);
    return cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

} // namespace plots
