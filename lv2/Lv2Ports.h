// The LV2 plug-in's identity and ports, as its .ttl files declare them; shared by the audio
// binary and the UI binary.
#pragma once

#include <cstdint>

namespace vorpane::lv2 {

inline constexpr const char* kPluginUri = "https://vorpane.farrowdale.audio/lv2/vorpane";
inline constexpr const char* kUiUri = "https://vorpane.farrowdale.audio/lv2/vorpane#ui";
// The "HRTF file" parameter (patch:Set / patch:Get on the control and notify ports).
inline constexpr const char* kHrtfFileUri = "https://vorpane.farrowdale.audio/lv2/vorpane#hrtfFile";

enum Port : uint32_t {
    kInputLeft = 0,
    kInputRight = 1,
    kOutputLeft = 2,
    kOutputRight = 3,
    kAzimuth = 4,   // degrees, -90 .. 90
    kElevation = 5, // degrees, -45 .. 225
    kLatency = 6,   // output: frames
    kControl = 7,   // atom input: patch messages
    kNotify = 8,    // atom output: patch:Set of the HRTF file in use
    kPortCount = 9,
};

} // namespace vorpane::lv2
