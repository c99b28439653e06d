#include "KnobStripArt.h"

#include "Paint.h"

#include <cmath>

namespace artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCentre = kFrameSize / 2.0;
constexpr double kDiscRadius = 66.0;
constexpr double kOrbitRadius = 52.0;

const Rgb kHeadLight = rgb255(246, 244, 240);
const Rgb kHeadMid = rgb255(214, 211, 206);
const Rgb kHeadDark = rgb255(150, 148, 146);

// The disc: a dark rim, a blue face lit from the upper left, the orbit the sphere travels on with
// a tick every 45 degrees. Outside the disc a faint shadow fades to nothing.
void paintDisc(cairo_t* cr) {
    const double c = kCentre;
    softShadow(cr, c, c + 1.5, kDiscRadius - 2, kDiscRadius + 6, 0.35);

    cairo_pattern_t* rim = cairo_pattern_create_linear(c - 50, c - 60, c + 50, c + 60);
    cairo_pattern_add_color_stop_rgb(rim, 0, 0.62, 0.76, 0.95);
    cairo_pattern_add_color_stop_rgb(rim, 0.5, 0.16, 0.30, 0.58);
    cairo_pattern_add_color_stop_rgb(rim, 1, 0.04, 0.08, 0.20);
    cairo_set_source(cr, rim);
    cairo_arc(cr, c, c, kDiscRadius, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);

    cairo_pattern_t* face = cairo_pattern_create_radial(c - 22, c - 26, 4, c, c, kDiscRadius - 3);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.27, 0.52, 0.86);
    cairo_pattern_add_color_stop_rgb(face, 0.6, 0.12, 0.32, 0.66);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.05, 0.17, 0.42);
    cairo_set_source(cr, face);
    cairo_arc(cr, c, c, kDiscRadius - 3, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(face);

    // A gloss across the upper half.
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, c - kDiscRadius, 0, c + 6);
    cairo_pattern_add_color_stop_rgba(gloss, 0, 1, 1, 1, 0.20);
    cairo_pattern_add_color_stop_rgba(gloss, 1, 1, 1, 1, 0.0);
    cairo_set_source(cr, gloss);
    cairo_arc(cr, c, c, kDiscRadius - 4, kPi, 2 * kPi);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);

    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgba(cr, 0.75, 0.87, 1.0, 0.32);
    cairo_arc(cr, c, c, kOrbitRadius, 0, 2 * kPi);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0.80, 0.90, 1.0, 0.55);
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4;
        cairo_arc(cr, c + kOrbitRadius * std::cos(a), c + kOrbitRadius * std::sin(a), 1.6, 0,
                  2 * kPi);
        cairo_fill(cr);
    }
}

// The sphere of the sound source, with a small shadow and a warm glow.
void paintSource(cairo_t* cr, double x, double y) {
    cairo_pattern_t* glow = cairo_pattern_create_radial(x, y, 4, x, y, 15);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1.0, 0.75, 0.30, 0.45);
    cairo_pattern_add_color_stop_rgba(glow, 1, 1.0, 0.75, 0.30, 0.0);
    cairo_set_source(cr, glow);
    cairo_arc(cr, x, y, 15, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    softShadow(cr, x + 1.2, y + 2.0, 4, 9, 0.45);
    shadedBall(cr, x, y, 7.5, rgb255(255, 246, 214), rgb255(250, 164, 40), rgb255(170, 74, 8));
}

// Fills the current path in the head's shading, a radial gradient from the light circle to the
// dark one, and outlines it.
void shadeHead(cairo_t* cr, double lightX, double lightY, double lightRadius, double darkX,
               double darkY, double darkRadius) {
    cairo_pattern_t* p =
        cairo_pattern_create_radial(lightX, lightY, lightRadius, darkX, darkY, darkRadius);
    cairo_pattern_add_color_stop_rgb(p, 0, kHeadLight.r, kHeadLight.g, kHeadLight.b);
    cairo_pattern_add_color_stop_rgb(p, 0.55, kHeadMid.r, kHeadMid.g, kHeadMid.b);
    cairo_pattern_add_color_stop_rgb(p, 1, kHeadDark.r, kHeadDark.g, kHeadDark.b);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0.05, 0.10, 0.22, 0.45);
    cairo_stroke(cr);
}

// A filled shape in the head's shading, lit from the upper left.
void fillHead(cairo_t* cr, double cx, double cy, double radius) {
    shadeHead(cr, cx - radius * 0.4, cy - radius * 0.45, radius * 0.1, cx, cy, radius * 1.15);
}

void ellipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
}

// The head from above: ears at the sides, the nose pointing up.
void paintHeadFromAbove(cairo_t* cr) {
    const double c = kCentre;
    cairo_save(cr);
    cairo_translate(cr, 1.5, 2.5);
    cairo_set_source_rgba(cr, 0, 0, 0.1, 0.30);
    ellipsePath(cr, c, c + 2, 20, 23);
    cairo_fill(cr);
    cairo_restore(cr);

    ellipsePath(cr, c - 18.5, c + 1, 4, 8);
    fillHead(cr, c - 18.5, c + 1, 9);
    ellipsePath(cr, c + 18.5, c + 1, 4, 8);
    fillHead(cr, c + 18.5, c + 1, 9);

    // Nose: a rounded wedge at the front.
    cairo_move_to(cr, c - 5, c - 17);
    cairo_curve_to(cr, c - 3.5, c - 24, c - 1.5, c - 27, c, c - 27);
    cairo_curve_to(cr, c + 1.5, c - 27, c + 3.5, c - 24, c + 5, c - 17);
    cairo_close_path(cr);
    fillHead(cr, c, c - 20, 10);

    ellipsePath(cr, c, c + 2, 17, 20.5);
    fillHead(cr, c, c + 2, 20);
    // Hair over the back of the head, so that front and back read at a glance.
    cairo_save(cr);
    ellipsePath(cr, c, c + 2, 16.5, 20);
    cairo_clip(cr);
    cairo_pattern_t* hair = cairo_pattern_create_radial(c - 5, c + 2, 2, c, c + 8, 21);
    cairo_pattern_add_color_stop_rgb(hair, 0, 0.47, 0.40, 0.35);
    cairo_pattern_add_color_stop_rgb(hair, 1, 0.22, 0.18, 0.16);
    cairo_set_source(cr, hair);
    ellipsePath(cr, c, c + 11, 19, 20);
    cairo_fill(cr);
    cairo_pattern_destroy(hair);
    cairo_restore(cr);
}

// The head from the side, facing left, with closed headphones.
void paintHeadFromSide(cairo_t* cr) {
    const double c = kCentre;
    cairo_save(cr);
    cairo_translate(cr, c, c);

    // Outline of the profile: back of the skull, forehead, nose, lips, chin, neck.
    auto profile = [&] {
        cairo_new_path(cr);
        cairo_move_to(cr, 8, 29);                            // back of the neck
        cairo_curve_to(cr, 9, 20, 18, 14, 19, 2);            // nape to the back of the head
        cairo_curve_to(cr, 21, -14, 10, -24, -3, -24);       // crown
        cairo_curve_to(cr, -14, -24, -20, -16, -20, -7);     // forehead
        cairo_line_to(cr, -21, -2);                          // brow
        cairo_curve_to(cr, -23, 1, -25, 4, -24, 6);          // nose tip
        cairo_curve_to(cr, -23, 7.5, -21, 8, -20, 8.5);      // under the nose
        cairo_curve_to(cr, -21, 10, -20.5, 11.5, -19.5, 12); // lips
        cairo_curve_to(cr, -20.5, 13.5, -20, 15, -19, 15.5); // lower lip
        cairo_curve_to(cr, -19, 18, -18, 20, -14, 20.5);     // chin
        cairo_curve_to(cr, -10, 21, -8, 22, -7, 29);         // jaw to throat
        cairo_close_path(cr);
    };
    cairo_save(cr);
    cairo_translate(cr, 1.5, 2.5);
    profile();
    cairo_set_source_rgba(cr, 0, 0, 0.1, 0.30);
    cairo_fill(cr);
    cairo_restore(cr);
    profile();
    shadeHead(cr, -8, -12, 2, 0, 0, 32);

    // Eye.
    cairo_set_source_rgba(cr, 0.25, 0.25, 0.30, 0.7);
    ellipsePath(cr, -15, -5, 1.6, 1.1);
    cairo_fill(cr);

    // Headband from the ear cup up over the crown, seen edge-on.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 6);
    setColor(cr, rgb255(30, 32, 38));
    cairo_move_to(cr, 3.5, -8);
    cairo_curve_to(cr, 3.5, -18, 3, -24, 1, -27);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.4);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
    cairo_move_to(cr, 1.2, -10);
    cairo_curve_to(cr, 1.2, -18, 0.8, -23, -1.2, -26.5);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);

    softShadow(cr, 4, 5, 10, 14, 0.35);
    cairo_pattern_t* cup = cairo_pattern_create_radial(0, -3, 1, 3, 2, 13);
    cairo_pattern_add_color_stop_rgb(cup, 0, 0.42, 0.44, 0.50);
    cairo_pattern_add_color_stop_rgb(cup, 0.7, 0.16, 0.17, 0.21);
    cairo_pattern_add_color_stop_rgb(cup, 1, 0.07, 0.07, 0.09);
    cairo_set_source(cr, cup);
    ellipsePath(cr, 3, 2, 10, 12);
    cairo_fill(cr);
    cairo_pattern_destroy(cup);
    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgba(cr, 0.85, 0.55, 0.20, 0.9);
    ellipsePath(cr, 3, 2, 5.5, 7);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
    cairo_arc(cr, 3, 2, 8.5, 1.1 * kPi, 1.45 * kPi);
    cairo_stroke(cr);
    cairo_restore(cr);
}

template <typename PaintFrame> cairo_surface_t* paintStrip(PaintFrame paintFrame) {
    cairo_surface_t* strip =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kFrameSize, kFrameSize * kFrameCount);
    cairo_t* cr = cairo_create(strip);
    for (int i = 0; i < kFrameCount; ++i) {
        cairo_save(cr);
        cairo_rectangle(cr, 0, i * kFrameSize, kFrameSize, kFrameSize);
        cairo_clip(cr);
        cairo_translate(cr, 0, i * kFrameSize);
        paintFrame(cr, i / double(kFrameCount - 1));
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(strip);
    return strip;
}

} // namespace

cairo_surface_t* paintAzimuthStrip() {
    return paintStrip([](cairo_t* cr, double t) {
        paintDisc(cr);
        paintHeadFromAbove(cr);
        // From -90 degrees (left) over 0 (front, up) to +90 degrees (right).
        const double a = (-90.0 + 180.0 * t) * kPi / 180.0;
        paintSource(cr, kCentre + kOrbitRadius * std::sin(a), kCentre - kOrbitRadius * std::cos(a));
    });
}

cairo_surface_t* paintElevationStrip() {
    return paintStrip([](cairo_t* cr, double t) {
        paintDisc(cr);
        paintHeadFromSide(cr);
        // From -45 degrees (in front, below) over 90 (above) to 225 (behind, below); the front
        // is to the left.
        const double a = (-45.0 + 270.0 * t) * kPi / 180.0;
        paintSource(cr, kCentre - kOrbitRadius * std::cos(a), kCentre - kOrbitRadius * std::sin(a));
    });
}

} // namespace artwork
