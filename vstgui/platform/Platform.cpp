#include "vstgui/platform/Platform.h"

#include "vstgui/platform/HeadlessPlatform.h"

namespace VSTGUI::platform {

namespace {

Platform* installed = nullptr;

Platform& headlessDefault() {
    static HeadlessPlatform headless;
    return headless;
}

} // namespace

Platform& platform() {
    return installed ? *installed : headlessDefault();
}

void setPlatform(Platform* newPlatform) {
    installed = newPlatform;
    setWindowServices(newPlatform);
}

} // namespace VSTGUI::platform
