#pragma once

#include <cstdint>

namespace VSTGUI {

// Bits of a button state: mouse buttons and modifier keys held down.
enum ButtonStateBits : int32_t {
    kLButton = 1,
    kMButton = 2,
    kRButton = 4,
    kShift = 8,
    kControl = 16,
    kAlt = 32,
    kCommand = 64, // never reported by the pointer query on this platform
};

} // namespace VSTGUI
