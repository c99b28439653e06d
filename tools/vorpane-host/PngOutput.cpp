#include "tools/vorpane-host/PngOutput.h"

#include <cairo.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace host {

bool writePng(const Picture& picture, const std::string& path, std::string& error) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        error = "no memory for a picture of " + std::to_string(picture.width) + " x " +
                std::to_string(picture.height);
        return false;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(data + static_cast<size_t>(y) * stride,
                    picture.pixels.data() + static_cast<size_t>(y) * picture.width,
                    static_cast<size_t>(picture.width) * sizeof(uint32_t));
    cairo_surface_mark_dirty(surface);

    const std::string partial = path + ".partial";
    const cairo_status_t status = cairo_surface_write_to_png(surface, partial.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::remove(partial.c_str());
        error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace host
