// A white cairo image to draw a figure on, with the text helpers the figures share.
#pragma once

#include <cairo.h>

#include <string>

namespace plots {

enum class Align { left, centre, right };

class PlotCanvas {
  public:
    PlotCanvas(int width, int height);
    ~PlotCanvas();

    PlotCanvas(const PlotCanvas&) = delete;
    PlotCanvas& operator=(const PlotCanvas&) = delete;

    cairo_t* cr() const { return context; }

    // Text with its baseline's anchor at (x, y), aligned on x; `angle` turns it (radians).
    void text(const std::string& text, double x, double y, double size, Align align = Align::left,
              bool bold = false, double angle = 0.0);
    void line(double x0, double y0, double x1, double y1, double width);

    bool writePng(const std::string& path) const;

  private:
    cairo_surface_t* surface;
    cairo_t* context;
};

} // namespace plots
