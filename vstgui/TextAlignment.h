#pragma once

#include <cstdint>

namespace VSTGUI {

// Horizontal alignment of CDrawContext::drawString. Any other value aligns left.
enum TextAlignment : int32_t {
    kLeftText = 0,
    kCenterText = 1,
    kRightText = 2,
};

} // namespace VSTGUI
