#include "vstgui/platform/WindowServices.h"

#include "vstgui/platform/DrawSurface.h"
#include "vstgui/platform/Platform.h"

namespace VSTGUI::platform {

cairo_surface_t* WindowServices::acquireWindowSurface(WindowHandle) {
    return nullptr;
}

void WindowServices::releaseWindowSurface(WindowHandle, cairo_surface_t* surface) {
    if (surface) cairo_surface_destroy(surface);
}

std::unique_ptr<DrawSurface> WindowServices::createDrawSurface(cairo_surface_t* target) {
    return std::make_unique<DrawSurface>(target);
}

CPoint WindowServices::windowScreenOrigin(WindowHandle) {
    return CPoint(0, 0);
}

CPoint WindowServices::pointerScreenPosition(WindowHandle) {
    return CPoint(0, 0);
}

int32_t WindowServices::buttonState(WindowHandle) {
    return 0;
}

WindowServices& windowServices() {
    return platform();
}

} // namespace VSTGUI::platform
