#pragma once

#include <cstdint>

namespace VSTGUI {

// Entries of the font table (face and standard size in pixels).
enum FontId : int32_t {
    kSystemFont = 0,          // Arial 12, always bold
    kNormalFontVeryBig = 1,   // Arial 18
    kNormalFontBig = 2,       // Arial 14
    kNormalFont = 3,          // Arial 12
    kNormalFontSmall = 4,     // Arial 11
    kNormalFontSmaller = 5,   // Arial 10
    kNormalFontVerySmall = 6, // Arial 9
    kSymbolFont = 7,          // Symbol 13
    kNumFonts = 8,
};

// Font style bits.
enum FontStyleBits : int32_t {
    kBoldFace = 1,
    kItalicFace = 2,
    kUnderlineFace = 4,
};

} // namespace VSTGUI
