#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace VSTGUI::platform {

// The bytes of a resource built into the library, found by type and numeric id; empty when there
// is no such resource. The images are of type "PNG" with ids 1, 10 and 100.
std::span<const uint8_t> findResource(std::string_view type, int32_t id);

} // namespace VSTGUI::platform
