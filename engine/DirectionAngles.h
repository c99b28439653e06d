// The direction as angles in degrees, the way the panel's readouts show it: azimuth
// value x 180.5 - 90 (-90 at the listener's left to +90 at the right), elevation
// value x 270.5 - 45 (-45 in front and below, over the head, to 225 behind and below), with value
// the normalised parameter (0..1). Hosts that speak in degrees go through these to the same
// normalised value, and from there to the same table record (azimuthStep, elevationStep).
#pragma once

#include <algorithm>
#include <cmath>

namespace vorpane {

struct AngleScale {
    double span;   // degrees per unit of the normalised value
    double offset; // degrees at value 0
    float lowest;  // the range of angles a host may set
    float highest;

    constexpr double degrees(float value) const {
        return static_cast<double>(value) * span + offset;
    }

    // The normalised value whose degrees are the given angle, clamped to lowest..highest; NaN
    // gives the value of 0 degrees. The value is the float nearest to the angle on the side away
    // from zero, so that the readout (degrees truncated toward zero) shows the angle's own
    // whole degrees.
    float value(float angle) const {
        if (std::isnan(angle)) angle = 0.0f;
        angle = std::clamp(angle, lowest, highest);
        float result = static_cast<float>((static_cast<double>(angle) - offset) / span);
        if (angle >= 0.0f) {
            while (degrees(result) < angle)
                result = std::nextafter(result, 2.0f);
        } else {
            while (degrees(result) > angle)
                result = std::nextafter(result, -1.0f);
        }
        return result;
    }
};

inline constexpr AngleScale kAzimuthDegrees{180.5, -90.0, -90.0f, 90.0f};
inline constexpr AngleScale kElevationDegrees{270.5, -45.0, -45.0f, 225.0f};

} // namespace vorpane
