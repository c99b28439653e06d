// The directions of the table: azimuth step a at lateral angle -90 + 7.5 a degrees (left to
// right), elevation step e at polar angle -45 + 270 e / 49 degrees (in front below, over the
// head, to behind below), as a unit vector with x forward, y left and z up.
#pragma once

#include <array>
#include <cmath>
#include <numbers>

namespace hrirgrid {

constexpr int kAzimuthSteps = 25;
constexpr int kElevationSteps = 50;

inline double lateralDegrees(int a) {
    return -90.0 + 7.5 * a;
}
inline double polarDegrees(int e) {
    return -45.0 + 270.0 * e / 49.0;
}

inline std::array<double, 3> direction(int a, int e) {
    const double lat = lateralDegrees(a) * std::numbers::pi / 180.0;
    const double pol = polarDegrees(e) * std::numbers::pi / 180.0;
    return {std::cos(lat) * std::cos(pol), -std::sin(lat), std::cos(lat) * std::sin(pol)};
}

} // namespace hrirgrid
