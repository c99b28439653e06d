#include "vstgui/platform/Platform.h"

#include "vstgui/platform/X11Platform.h"

namespace VSTGUI::platform {

namespace {

Platform* installed = nullptr;

Platform& processDefault() {
    // Stateless: every frame window keeps its own connection.
    static X11Platform x11;
    return x11;
}

} // namespace

Platform& platform() {
    return installed ? *installed : processDefault();
}

void setPlatform(Platform* newPlatform) {
    installed = newPlatform;
}

} // namespace VSTGUI::platform
