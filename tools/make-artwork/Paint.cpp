#include "Paint.h"

namespace artwork {

void setColor(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

double Noise::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return (state & 0xFFFFFF) / double(0x7FFFFF) - 1.0;
}

void selectFont(cairo_t* cr, double size, bool bold) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

double textWidth(cairo_t* cr, const std::string& text, double letterSpacing) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance + letterSpacing * (text.empty() ? 0 : double(text.size() - 1));
}

void showText(cairo_t* cr, double x, double y, const std::string& text, double letterSpacing) {
    if (letterSpacing == 0.0) {
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, text.c_str());
        return;
    }
    for (const char c : text) {
        const char one[2] = {c, 0};
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, one);
        cairo_text_extents_t e;
        cairo_text_extents(cr, one, &e);
        x += e.x_advance + letterSpacing;
    }
}

void engravedText(cairo_t* cr, double x, double y, const std::string& text, Rgb color,
                  double letterSpacing) {
    cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
    showText(cr, x, y + 1, text, letterSpacing);
    setColor(cr, color);
    showText(cr, x, y, text, letterSpacing);
}

void softShadow(cairo_t* cr, double cx, double cy, double inner, double outer, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, inner, cx, cy, outer);
    cairo_pattern_add_color_stop_rgba(p, 0.0, 0, 0, 0, alpha);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0, 0, 0, alpha * 0.35);
    cairo_pattern_add_color_stop_rgba(p, 1.0, 0, 0, 0, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, outer, 0, 6.283185307179586);
    cairo_arc_negative(cr, cx, cy, inner, 6.283185307179586, 0);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void shadedBall(cairo_t* cr, double cx, double cy, double radius, Rgb light, Rgb mid, Rgb dark) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - radius * 0.35, cy - radius * 0.4,
                                                     radius * 0.1, cx, cy, radius);
    cairo_pattern_add_color_stop_rgb(p, 0.0, light.r, light.g, light.b);
    cairo_pattern_add_color_stop_rgb(p, 0.45, mid.r, mid.g, mid.b);
    cairo_pattern_add_color_stop_rgb(p, 1.0, dark.r, dark.g, dark.b);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, radius, 0, 6.283185307179586);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

} // namespace artwork
