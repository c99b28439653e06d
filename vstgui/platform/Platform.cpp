#include "vstgui/platform/Platform.h"

#include "vstgui/platform/X11Platform.h"

namespace VSTGUI::platform {

namespace {

Platform* installed = nullptr;

Platform& processDefault() {
    // Destroyed when the library is unloaded, so hosts that load and unload plug-ins to scan
    // them lose nothing; see the destructor for an editor still open then.
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
