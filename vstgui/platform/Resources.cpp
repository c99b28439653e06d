#include "vstgui/platform/Resources.h"

namespace VSTGUI::platform {

std::span<const uint8_t> findResource(std::string_view, int32_t) {
    return {};
}

} // namespace VSTGUI::platform
