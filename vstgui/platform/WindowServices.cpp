#include "vstgui/platform/WindowServices.h"

namespace VSTGUI::platform {

namespace {

WindowServices headless;
WindowServices* installed = nullptr;

} // namespace

cairo_surface_t* WindowServices::acquireWindowSurface(WindowHandle) {
    return nullptr;
}

void WindowServices::releaseWindowSurface(WindowHandle, cairo_surface_t* surface) {
    if (surface) cairo_surface_destroy(surface);
}

CPoint WindowServices::windowScreenOrigin(WindowHandle) {
    return CPoint(0, 0);
}

CPoint WindowServices::pointerScreenPosition() {
    return CPoint(0, 0);
}

int32_t WindowServices::buttonState() {
    return 0;
}

WindowServices& windowServices() {
    return installed ? *installed : headless;
}

void setWindowServices(WindowServices* services) {
    installed = services;
}

} // namespace VSTGUI::platform
