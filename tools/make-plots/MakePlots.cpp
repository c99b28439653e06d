// Draws two pictures of the built-in HRIR table and writes them as PNG files:
//   make-plots [--rate HZ] <output folder>
// directions.png: the level difference between the ears for each of the 25 x 50 directions;
// response.png: the magnitude responses of both ears at three directions. With --rate, of the
// table as the engine renders it at that host rate; by default at the 44.1 kHz it was measured at.
#include "engine/SampleRates.h"
#include "engine/TableResampler.h"
#include "hrtf/TableDirections.h"
#include "tools/make-plots/HrirFigures.h"
#include "tools/make-plots/PlotCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace plots;
using vorpane::Ear;
using vorpane::kAzimuthSteps;
using vorpane::kElevationSteps;

struct Colour {
    double r, g, b;
};

Colour mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Diverging scale: red where the left ear is louder, blue where the right is, pale at 0 dB.
Colour levelColour(double db, double range) {
    const double t = std::clamp(db / range, -1.0, 1.0);
    const Colour pale{0.97, 0.97, 0.95};
    const Colour red[] = {{0.96, 0.65, 0.51}, {0.70, 0.09, 0.17}};
    const Colour blue[] = {{0.57, 0.77, 0.87}, {0.13, 0.40, 0.67}};
    const Colour* side = t >= 0 ? red : blue;
    const double u = std::abs(t);
    return u < 0.5 ? mix(pale, side[0], u * 2) : mix(side[0], side[1], u * 2 - 1);
}

void setColour(cairo_t* cr, Colour c) {
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

std::string degrees(double value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%s%.0f\xC2\xB0", value < -0.5 ? "\xE2\x88\x92" : "",
                  std::abs(value));
    return text;
}

std::string kilohertz(double rate) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g kHz", rate / 1000.0);
    return text;
}

// Nothing at the table's own rate, where the pictures have always been drawn.
std::string atRate(const vorpane::EarTable& table) {
    return table.rate() == vorpane::kTableRate ? std::string() : " at " + kilohertz(table.rate());
}

bool drawDirections(const vorpane::EarTable& table, const std::string& path) {
    constexpr double kCellW = 22, kCellH = 11, kLeft = 150, kTop = 84;
    constexpr double kMapW = kCellW * kAzimuthSteps, kMapH = kCellH * kElevationSteps;
    PlotCanvas canvas(860, 730);
    cairo_t* cr = canvas.cr();

    double largest = 0.0;
    std::vector<double> level(kAzimuthSteps * kElevationSteps);
    for (int e = 0; e < kElevationSteps; ++e)
        for (int a = 0; a < kAzimuthSteps; ++a) {
            level[e * kAzimuthSteps + a] = levelDifferenceDb(table, a, e);
            largest = std::max(largest, std::abs(level[e * kAzimuthSteps + a]));
        }
    const double range = std::ceil(largest / 5.0) * 5.0;

    canvas.text("Level difference between the ears, left minus right, for every direction", 430, 34,
                19, Align::centre, true);
    canvas.text("energy of each ear's " + std::to_string(table.taps()) + "-tap response" +
                    atRate(table) + "; red: the left ear is louder, blue: the right ear is louder",
                430, 58, 13, Align::centre);

    for (int e = 0; e < kElevationSteps; ++e)
        for (int a = 0; a < kAzimuthSteps; ++a) {
            setColour(cr, levelColour(level[e * kAzimuthSteps + a], range));
            cairo_rectangle(cr, kLeft + a * kCellW, kTop + e * kCellH, kCellW, kCellH);
            cairo_fill(cr);
        }
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, kLeft - 0.5, kTop - 0.5, kMapW + 1, kMapH + 1);
    cairo_stroke(cr);

    // Azimuth across: step numbers and their lateral angles.
    for (int a = 0; a < kAzimuthSteps; a += 4) {
        const double x = kLeft + (a + 0.5) * kCellW;
        canvas.line(x, kTop + kMapH, x, kTop + kMapH + 5, 1);
        canvas.text(std::to_string(a), x, kTop + kMapH + 20, 13, Align::centre);
        canvas.text(degrees(hrirgrid::lateralDegrees(a)), x, kTop + kMapH + 36, 11, Align::centre);
    }
    canvas.text("Azimuth step (lateral angle): 0 far left, 12 in front, 24 far right",
                kLeft + kMapW / 2, kTop + kMapH + 62, 14, Align::centre, true);

    // Elevation down: step numbers and their polar angles.
    for (int e : {0, 8, 16, 24, 32, 40, 49}) {
        const double y = kTop + (e + 0.5) * kCellH;
        canvas.line(kLeft - 5, y, kLeft, y, 1);
        canvas.text(std::to_string(e) + "  (" + degrees(hrirgrid::polarDegrees(e)) + ")", kLeft - 9,
                    y + 4.5, 12, Align::right);
    }
    canvas.text("Elevation step (polar angle): 0 in front below, 24 over the head, 49 behind "
                "below",
                40, kTop + kMapH / 2, 14, Align::centre, true, -M_PI / 2);

    // Colour scale with its dB marks.
    constexpr double kBarX = kLeft + kMapW + 48, kBarW = 24;
    for (int i = 0; i < static_cast<int>(kMapH); ++i) {
        const double db = range - 2.0 * range * (i + 0.5) / kMapH;
        setColour(cr, levelColour(db, range));
        cairo_rectangle(cr, kBarX, kTop + i, kBarW, 1);
        cairo_fill(cr);
    }
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, kBarX - 0.5, kTop - 0.5, kBarW + 1, kMapH + 1);
    cairo_stroke(cr);
    for (double db = -range; db <= range + 1e-9; db += 5.0) {
        const double y = kTop + (range - db) / (2.0 * range) * kMapH;
        canvas.line(kBarX + kBarW, y, kBarX + kBarW + 5, y, 1);
        char text[32];
        std::snprintf(text, sizeof(text), "%s%.0f dB",
                      db > 0.5    ? "+"
                      : db < -0.5 ? "\xE2\x88\x92"
                                  : "",
                      std::abs(db));
        canvas.text(text, kBarX + kBarW + 9, y + 4.5, 12);
    }
    canvas.text("left louder", kBarX + kBarW / 2, kTop - 10, 12, Align::centre);
    canvas.text("right louder", kBarX + kBarW / 2, kTop + kMapH + 20, 12, Align::centre);
    return canvas.writePng(path);
}

struct Direction {
    const char* name;
    int azimuth, elevation;
    Colour colour;
};

constexpr double kPlotLeft = 80, kPlotWidth = 620, kLowHz = 20.0, kHighHz = 20000.0;

double xOfFrequency(double hz) {
    return kPlotLeft + std::log10(hz / kLowHz) / 3.0 * kPlotWidth;
}

// A frequency plot's frame: the decade grid with its labels, a line every `stepDb`, the dB axis.
void drawFrequencyAxes(PlotCanvas& canvas, double top, double height, double bottomDb, double topDb,
                       double stepDb, const char* label) {
    cairo_t* cr = canvas.cr();
    auto yOf = [&](double db) { return top + (topDb - db) / (topDb - bottomDb) * height; };
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    for (double decade = 10.0; decade <= 10000.0; decade *= 10.0)
        for (int k = 1; k <= 9; ++k) {
            const double hz = decade * k;
            if (hz < kLowHz || hz > kHighHz) continue;
            canvas.line(xOfFrequency(hz), top, xOfFrequency(hz), top + height, k == 1 ? 1.0 : 0.5);
        }
    for (double db = bottomDb; db <= topDb; db += stepDb)
        canvas.line(kPlotLeft, yOf(db), kPlotLeft + kPlotWidth, yOf(db), 0.7);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, kPlotLeft - 0.5, top - 0.5, kPlotWidth + 1, height + 1);
    cairo_stroke(cr);
    const struct {
        double hz;
        const char* text;
    } marks[] = {{20, "20"},   {50, "50"},   {100, "100"}, {200, "200"},   {500, "500"},
                 {1000, "1k"}, {2000, "2k"}, {5000, "5k"}, {10000, "10k"}, {20000, "20k"}};
    for (const auto& mark : marks)
        canvas.text(mark.text, xOfFrequency(mark.hz), top + height + 18, 12, Align::centre);
    canvas.text("Frequency (Hz)", kPlotLeft + kPlotWidth / 2, top + height + 44, 14, Align::centre,
                true);
    for (double db = bottomDb; db <= topDb; db += stepDb) {
        char text[16];
        std::snprintf(text, sizeof(text), "%s%.0f", db < -0.5 ? "\xE2\x88\x92" : "", std::abs(db));
        canvas.text(text, kPlotLeft - 8, yOf(db) + 4.5, 12, Align::right);
    }
    canvas.text(label, 28, top + height / 2, 14, Align::centre, true, -M_PI / 2);
}

// The level difference between the ears over frequency at the far left, below the responses.
void drawFarLeftLevelDifference(PlotCanvas& canvas, const vorpane::EarTable& table,
                                const std::vector<double>& frequencies, double top) {
    constexpr double kH = 200, kBottomDb = -10, kTopDb = 40;
    cairo_t* cr = canvas.cr();
    const std::vector<double> left = magnitudeDb(table, Ear::left, 0, 8, frequencies);
    const std::vector<double> right = magnitudeDb(table, Ear::right, 0, 8, frequencies);
    canvas.text("Level difference between the ears, left minus right, at the far left", 470,
                top - 16, 16, Align::centre, true);
    drawFrequencyAxes(canvas, top, kH, kBottomDb, kTopDb, 10, "Left \xE2\x88\x92 right (dB)");
    cairo_save(cr);
    cairo_rectangle(cr, kPlotLeft, top, kPlotWidth, kH);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 0.75, 0.13, 0.13);
    cairo_set_line_width(cr, 1.8);
    for (size_t i = 0; i < frequencies.size(); ++i) {
        const double db = std::clamp(left[i] - right[i], kBottomDb - 5, kTopDb + 5);
        (i ? cairo_line_to : cairo_move_to)(cr, xOfFrequency(frequencies[i]),
                                            top + (kTopDb - db) / (kTopDb - kBottomDb) * kH);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    constexpr double kNoteX = kPlotLeft + kPlotWidth + 24;
    double y = top + 14;
    for (const char* line :
         {"Azimuth 0: the same", "direction at every", "elevation. Below about",
          "200 Hz the head is small", "against the wavelength:", "the ears differ less."}) {
        canvas.text(line, kNoteX, y, 11);
        y += 15;
    }
}

bool drawResponses(const vorpane::EarTable& table, const std::string& path) {
    constexpr double kLeft = kPlotLeft, kTop = 70, kW = kPlotWidth, kH = 400;
    const Direction directions[] = {
        {"far left", 0, 8, {0.75, 0.13, 0.13}},
        {"in front", 12, 8, {0.10, 0.50, 0.20}},
        {"over the head", 12, 24, {0.15, 0.30, 0.75}},
    };
    PlotCanvas canvas(940, 860);
    cairo_t* cr = canvas.cr();

    std::vector<double> frequencies;
    for (int i = 0; i <= 600; ++i)
        frequencies.push_back(kLowHz * std::pow(kHighHz / kLowHz, i / 600.0));
    std::vector<std::vector<double>> curves;
    double highest = -1e9;
    for (const Direction& d : directions)
        for (Ear ear : {Ear::left, Ear::right}) {
            curves.push_back(magnitudeDb(table, ear, d.azimuth, d.elevation, frequencies));
            highest =
                std::max(highest, *std::max_element(curves.back().begin(), curves.back().end()));
        }
    const double topDb = std::ceil(highest / 10.0) * 10.0, bottomDb = topDb - 60.0;
    auto xOf = [&](double hz) { return xOfFrequency(hz); };
    auto yOf = [&](double db) { return kTop + (topDb - db) / (topDb - bottomDb) * kH; };

    canvas.text("Magnitude responses of both ears at three directions", 470, 32, 19, Align::centre,
                true);
    canvas.text(table.rate() == vorpane::kTableRate
                    ? std::string("built-in 256-tap responses at 44.1 kHz, the rate they were "
                                  "measured at")
                    : "built-in responses resampled to " + kilohertz(table.rate()) + " (" +
                          std::to_string(table.taps()) + " taps)",
                470, 54, 13, Align::centre);
    drawFrequencyAxes(canvas, kTop, kH, bottomDb, topDb, 10, "Magnitude (dB)");
    drawFarLeftLevelDifference(canvas, table, frequencies, kTop + kH + 110);

    cairo_save(cr);
    cairo_rectangle(cr, kLeft, kTop, kW, kH);
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    size_t curve = 0;
    for (const Direction& d : directions)
        for (Ear ear : {Ear::left, Ear::right}) {
            const std::vector<double>& db = curves[curve++];
            setColour(cr, d.colour);
            const double dash[] = {7.0, 4.0};
            cairo_set_dash(cr, dash, ear == Ear::right ? 2 : 0, 0);
            cairo_set_line_width(cr, 1.8);
            for (size_t i = 0; i < frequencies.size(); ++i)
                (i ? cairo_line_to : cairo_move_to)(cr, xOf(frequencies[i]),
                                                    yOf(std::max(db[i], bottomDb - 10)));
            cairo_stroke(cr);
        }
    cairo_restore(cr);

    // Legend: a colour for each direction, a line style for each ear.
    constexpr double kLegendX = kLeft + kW + 24;
    double y = kTop + 12;
    for (const Direction& d : directions) {
        setColour(cr, d.colour);
        canvas.line(kLegendX, y - 4, kLegendX + 30, y - 4, 3);
        cairo_set_source_rgb(cr, 0, 0, 0);
        canvas.text(d.name, kLegendX + 38, y, 13, Align::left, true);
        canvas.text("azimuth " + std::to_string(d.azimuth) + ", elevation " +
                        std::to_string(d.elevation),
                    kLegendX + 38, y + 17, 11);
        y += 46;
    }
    y += 6;
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    for (Ear ear : {Ear::left, Ear::right}) {
        const double dash[] = {7.0, 4.0};
        cairo_set_dash(cr, dash, ear == Ear::right ? 2 : 0, 0);
        canvas.line(kLegendX, y - 4, kLegendX + 30, y - 4, 1.8);
        cairo_set_dash(cr, nullptr, 0, 0);
        canvas.text(ear == Ear::left ? "left ear" : "right ear", kLegendX + 38, y, 13);
        y += 22;
    }
    // The measurements are mirror images between the ears, so in the middle plane they agree.
    y += 8;
    for (const char* line : {"In front and over the", "head both ears' curves", "coincide."}) {
        canvas.text(line, kLegendX, y, 11);
        y += 15;
    }
    return canvas.writePng(path);
}

} // namespace

int main(int argc, char** argv) {
    double rate = vorpane::kTableRate;
    if (argc == 4 && std::strcmp(argv[1], "--rate") == 0) {
        char* end = nullptr;
        rate = std::strtod(argv[2], &end);
        if (end == argv[2] || *end != 0 || !(rate > 0.0)) {
            std::fprintf(stderr, "make-plots: --rate takes a rate in Hz, not %s\n", argv[2]);
            return 2;
        }
        argv += 2;
        argc -= 2;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-plots [--rate HZ] <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const vorpane::EarTable table =
        vorpane::resampleTable(vorpane::embeddedHrirTable(), vorpane::supportedRate(rate));
    int status = 0;
    for (const auto& [name, draw] : {std::pair{"directions.png", &drawDirections},
                                     std::pair{"response.png", &drawResponses}}) {
        const std::string path = folder + "/" + name;
        if (!draw(table, path)) {
            std::fprintf(stderr, "make-plots: cannot write %s\n", path.c_str());
            status = 1;
        }
    }
    return status;
}
