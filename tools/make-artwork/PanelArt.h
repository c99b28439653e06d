#pragma once

#include <cairo.h>

#include <string>

namespace artwork {

constexpr int kPanelWidth = 454;
constexpr int kPanelHeight = 302;

// The editor's background: a brushed-metal panel with the product name and version, the maker's
// logo, the captions of the two readouts and a trademark line. Fully opaque.
cairo_surface_t* paintPanel(const std::string& version);

} // namespace artwork
