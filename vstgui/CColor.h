#pragma once

#include <cstdint>

namespace VSTGUI {

// A colour: red, green, blue and alpha bytes, in that order. Drawing uses the three colour bytes
// only; alpha is kept with the colour.
struct CColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    constexpr bool operator==(const CColor&) const = default;
};

constexpr CColor MakeCColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255) {
    return CColor{red, green, blue, alpha};
}

inline constexpr CColor kTransparentCColor{255, 255, 255, 0};
inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kGreyCColor{127, 127, 127, 255};
inline constexpr CColor kRedCColor{255, 0, 0, 255};
inline constexpr CColor kGreenCColor{0, 255, 0, 255};
inline constexpr CColor kBlueCColor{0, 0, 255, 255};
inline constexpr CColor kYellowCColor{255, 255, 0, 255};
inline constexpr CColor kMagentaCColor{255, 0, 255, 255};
inline constexpr CColor kCyanCColor{0, 255, 255, 255};

} // namespace VSTGUI
