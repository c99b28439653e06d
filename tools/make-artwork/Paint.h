#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

namespace artwork {

// Small drawing helpers shared by the panel and the knob pictures.

struct Rgb {
    double r, g, b;
};

constexpr Rgb rgb255(int r, int g, int b) {
    return {r / 255.0, g / 255.0, b / 255.0};
}

void setColor(cairo_t* cr, Rgb c, double alpha = 1.0);

// A deterministic random source (xorshift), the same on every machine.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state(seed ? seed : 1) {}
    // Uniform in [-1, 1].
    double next();

  private:
    uint32_t state;
};

// Text in one of the installed faces ("Liberation Sans" is used throughout).
void selectFont(cairo_t* cr, double size, bool bold);
double textWidth(cairo_t* cr, const std::string& text, double letterSpacing = 0.0);
// Draws text with its baseline starting at (x, y); letterSpacing adds space between letters.
void showText(cairo_t* cr, double x, double y, const std::string& text, double letterSpacing = 0.0);
// Text pressed into metal: a light edge below, the text in a dark colour.
void engravedText(cairo_t* cr, double x, double y, const std::string& text, Rgb color,
                  double letterSpacing = 0.0);

// A soft round shadow: alpha falls from alpha at radius inner to 0 at radius outer.
void softShadow(cairo_t* cr, double cx, double cy, double inner, double outer, double alpha);

// A shaded ball lit from the upper left.
void shadedBall(cairo_t* cr, double cx, double cy, double radius, Rgb light, Rgb mid, Rgb dark);

} // namespace artwork
