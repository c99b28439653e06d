#include "vstgui/platform/Platform.h"

#include "vstgui/platform/X11Platform.h"

namespace VSTGUI::platform {

namespace {

Platform* installed = nullptr;

Platform& processDefault() {
    // Never destroyed: a host may unload the library or exit with an editor still open, and
    // closing a display connection from a static destructor is not safe then.
    static X11Platform* const x11 = new X11Platform();
    return *x11;
}

} // namespace

Platform& platform() {
    return installed ? *installed : processDefault();
}

void setPlatform(Platform* newPlatform) {
    installed = newPlatform;
}

} // namespace VSTGUI::platform
