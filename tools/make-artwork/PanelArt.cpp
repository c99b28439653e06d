#include "PanelArt.h"

#include "Paint.h"

#include <cmath>
#include <vector>

namespace artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;
const Rgb kInk = rgb255(46, 49, 55);
const Rgb kSoftInk = rgb255(78, 82, 90);

// Horizontal box blur of one row, wrapping at the ends.
std::vector<double> blurRow(const std::vector<double>& in, int radius) {
    const int n = static_cast<int>(in.size());
    std::vector<double> out(in.size());
    double sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += in[(i + n) % n];
    for (int x = 0; x < n; ++x) {
        out[x] = sum / (2 * radius + 1);
        sum += in[(x + radius + 1) % n] - in[(x - radius + n) % n];
    }
    return out;
}

// Grey metal brushed along x: every row has a brightness of its own, long faint streaks and a
// little grain, under a soft vertical light and a broad diagonal sheen.
void paintBrushedMetal(cairo_surface_t* surface) {
    const int w = kPanelWidth, h = kPanelHeight;
    Noise noise(20260508);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    double rowLevel = 0;
    for (int y = 0; y < h; ++y) {
        rowLevel = rowLevel * 0.55 + noise.next() * 0.45;
        std::vector<double> streak(w);
        for (double& s : streak)
            s = noise.next();
        streak = blurRow(blurRow(streak, 18), 18);
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            const double light = 196 - 26.0 * y / h;
            const double d = (x - 0.35 * w) * 0.5 + (y - 0.2 * h);
            const double sheen = 9.0 * std::exp(-d * d / (2 * 70.0 * 70.0));
            const double v = light + sheen + 4.0 * rowLevel + 16.0 * streak[x] + 2.2 * noise.next();
            auto channel = [](double c) {
                return static_cast<uint32_t>(std::lround(std::fmin(255.0, std::fmax(0.0, c))));
            };
            row[x] = 0xFF000000u | channel(v - 3) << 16 | channel(v - 1) << 8 | channel(v + 3);
        }
    }
    cairo_surface_mark_dirty(surface);
}

// A thin groove: a dark line with a light one below it.
void groove(cairo_t* cr, double x0, double x1, double y) {
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.28);
    cairo_move_to(cr, x0, y + 0.5);
    cairo_line_to(cr, x1, y + 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
    cairo_move_to(cr, x0, y + 1.5);
    cairo_line_to(cr, x1, y + 1.5);
    cairo_stroke(cr);
}

// The panel's edge: light along the top and left, dark along the bottom and right.
void bevel(cairo_t* cr) {
    const double w = kPanelWidth, h = kPanelHeight;
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
    cairo_move_to(cr, 0.5, h - 1);
    cairo_line_to(cr, 0.5, 0.5);
    cairo_line_to(cr, w - 1, 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_move_to(cr, w - 0.5, 0);
    cairo_line_to(cr, w - 0.5, h - 0.5);
    cairo_line_to(cr, 0, h - 0.5);
    cairo_stroke(cr);
}

// A recess around a readout: the readout itself covers the inside.
void readoutWell(cairo_t* cr, double left, double top, double right, double bottom) {
    const double l = left - 2.5, t = top - 2.5, r = right + 1.5, b = bottom + 1.5;
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.38);
    cairo_move_to(cr, l, b);
    cairo_line_to(cr, l, t);
    cairo_line_to(cr, r, t);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
    cairo_move_to(cr, r, t);
    cairo_line_to(cr, r, b);
    cairo_line_to(cr, l, b);
    cairo_stroke(cr);
}

// A caption whose text ends at x = right, vertically centred on the readout row.
void caption(cairo_t* cr, const std::string& text, double right, double top, double bottom) {
    selectFont(cr, 13, true);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    const double baseline = std::round((top + bottom) / 2 + (fe.ascent - fe.descent) / 2 - 1);
    engravedText(cr, std::round(right - textWidth(cr, text)), baseline, text, kInk);
}

// The place of a knob: a faint ring and a soft shadow that the knob's disc sits in.
void knobSeat(cairo_t* cr, double left, double top) {
    const double cx = left + 75, cy = top + 75;
    softShadow(cr, cx + 1, cy + 3, 60, 74, 0.45);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
    cairo_arc(cr, cx, cy, 72.5, 0.15 * kPi, 0.85 * kPi);
    cairo_stroke(cr);
}

// The maker's mark: a dark medallion with a dot and three sound waves, the name beside it.
void makerLogo(cairo_t* cr, double right, double baseline) {
    selectFont(cr, 15, true);
    const std::string name = "FARROWDALE";
    const double nameWidth = textWidth(cr, name, 1.6);
    const double nameLeft = std::round(right - nameWidth);
    engravedText(cr, nameLeft, baseline, name, kInk, 1.6);
    selectFont(cr, 9, true);
    const std::string sub = "AUDIO";
    engravedText(cr, std::round(right - textWidth(cr, sub, 5.0)), baseline + 13, sub, kSoftInk,
                 5.0);

    const double cx = nameLeft - 24, cy = baseline + 1;
    softShadow(cr, cx + 0.5, cy + 1.5, 15, 18.5, 0.35);
    cairo_pattern_t* face = cairo_pattern_create_linear(cx, cy - 16, cx, cy + 16);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.30, 0.32, 0.36);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.13, 0.14, 0.17);
    cairo_set_source(cr, face);
    cairo_arc(cr, cx, cy, 16, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
    cairo_arc(cr, cx, cy, 14.5, 1.1 * kPi, 1.9 * kPi);
    cairo_stroke(cr);

    const Rgb wave = rgb255(222, 226, 232);
    setColor(cr, wave);
    cairo_arc(cr, cx - 6, cy, 2.6, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 3; ++i) {
        cairo_set_line_width(cr, 1.8);
        setColor(cr, wave, 1.0 - 0.22 * i);
        cairo_arc(cr, cx - 6, cy, 5.5 + 4.2 * i, -0.3 * kPi, 0.3 * kPi);
        cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

} // namespace

cairo_surface_t* paintPanel(const std::string& version) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kPanelWidth, kPanelHeight);
    paintBrushedMetal(surface);
    cairo_t* cr = cairo_create(surface);

    // Header: the product's name and version at top left. The corner above it stays plain
    // metal, since the readouts show that corner of the panel behind their digits.
    selectFont(cr, 30, true);
    engravedText(cr, 20, 46, "Vorpane", kInk);
    const double nameEnd = 20 + textWidth(cr, "Vorpane");
    selectFont(cr, 10, false);
    engravedText(cr, std::round(nameEnd + 9), 33, "Version " + version, kSoftInk, 0.4);
    selectFont(cr, 9, false);
    engravedText(cr, std::round(nameEnd + 9), 46, "BINAURAL PANNER", kSoftInk, 0.6);
    makerLogo(cr, 434, 36);
    groove(cr, 16, kPanelWidth - 16, 66);

    // Readouts with their captions (the readouts are drawn over the wells by the editor).
    readoutWell(cr, 120, 115, 160, 133);
    readoutWell(cr, 370, 118, 410, 136);
    caption(cr, "Azimuth:", 113, 115, 133);
    caption(cr, "Elevation:", 363, 118, 136);

    knobSeat(cr, 20, 135);
    knobSeat(cr, 260, 135);

    // Footer.
    groove(cr, 16, kPanelWidth - 16, 286);
    selectFont(cr, 9, false);
    const std::string line =
        "Vorpane and Farrowdale Audio are trademarks of Farrowdale Audio. All rights reserved.";
    engravedText(cr, std::round((kPanelWidth - textWidth(cr, line)) / 2), 298, line, kSoftInk);

    bevel(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
}

} // namespace artwork
