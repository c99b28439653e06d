// Paints the editor's three images and writes them as PNG files:
//   make-artwork <output folder>
// writes background.png (454 x 302), azimuth-strip.png and elevation-strip.png (150 x 7500).

#include "KnobStripArt.h"
#include "PanelArt.h"
#include "PngFile.h"

#include <cstdio>
#include <string>

#ifndef VORPANE_VERSION_TEXT
#define VORPANE_VERSION_TEXT "1.0"
#endif

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-artwork <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    struct Output {
        const char* name;
        cairo_surface_t* surface;
    } outputs[] = {
        {"background.png", artwork::paintPanel(VORPANE_VERSION_TEXT)},
        {"azimuth-strip.png", artwork::paintAzimuthStrip()},
        {"elevation-strip.png", artwork::paintElevationStrip()},
    };
    int status = 0;
    for (const Output& out : outputs) {
        const std::string path = folder + "/" + out.name;
        if (!artwork::writeRgbaPng(out.surface, path)) {
            std::fprintf(stderr, "make-artwork: cannot write %s\n", path.c_str());
            status = 1;
        }
        cairo_surface_destroy(out.surface);
    }
    return status;
}
