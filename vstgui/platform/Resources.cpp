#include "vstgui/platform/Resources.h"

extern "C" const uint8_t vorpane_background_png_start[];
extern "C" const uint8_t vorpane_background_png_end[];
extern "C" const uint8_t vorpane_azimuth_strip_png_start[];
extern "C" const uint8_t vorpane_azimuth_strip_png_end[];
extern "C" const uint8_t vorpane_elevation_strip_png_start[];
extern "C" const uint8_t vorpane_elevation_strip_png_end[];

namespace VSTGUI::platform {

namespace {

struct Resource {
    std::string_view type;
    int32_t id;
    const uint8_t* start;
    const uint8_t* end;
};

const Resource kResources[] = {
    {"PNG", 1, vorpane_background_png_start, vorpane_background_png_end},
    {"PNG", 10, vorpane_azimuth_strip_png_start, vorpane_azimuth_strip_png_end},
    {"PNG", 100, vorpane_elevation_strip_png_start, vorpane_elevation_strip_png_end},
};

} // namespace

std::span<const uint8_t> findResource(std::string_view type, int32_t id) {
    for (const Resource& r : kResources)
        if (r.type == type && r.id == id) return {r.start, r.end};
    return {};
}

} // namespace VSTGUI::platform
