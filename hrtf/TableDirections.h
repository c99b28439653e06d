// The directions of the table: azimuth step a at lateral angle -90 + 7.5 a degrees (left to
// right), elevation step e at polar angle -45 + 270 e / 49 degrees (in front below, over the
// head, to behind below), as a unit vector with x forward, y left and z up. The numbers of steps
// are the table's own (engine/HrirTable.h).
#pragma once

#include "engine/HrirTable.h"

#include <array>
#include <cmath>
#include <numbers>

namespace hrirgrid {

constexpr int kAzimuthSteps = vorpane::kAzimuthSteps;
constexpr int kElevationSteps = vorpane::kElevationSteps;

inline double lateralDegrees(int a) {
    return -90.0 + 180.0 * a / (kAzimuthSteps - 1);
}
inline double polarDegrees(int e) {
    return -45.0 + 270.0 * e / (kElevationSteps - 1);
}

inline std::array<double, 3> direction(int a, int e) {
    const double lat = lateralDegrees(a) * std::numbers::pi / 180.0;
    const double pol = polarDegrees(e) * std::numbers::pi / 180.0;
    return {std::cos(lat) * std::cos(pol), -std::sin(lat), std::cos(lat) * std::sin(pol)};
}

} // namespace hrirgrid
