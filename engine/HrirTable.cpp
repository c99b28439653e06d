#include "engine/HrirTable.h"

namespace vorpane {
namespace {

int32_t step(float value, double factor, int32_t last) {
    const double scaled = static_cast<double>(value) * factor;
    if (!(scaled > 0.0)) return 0; // negative, zero or NaN
    if (scaled >= last) return last;
    return static_cast<int32_t>(scaled);
}

} // namespace

int32_t azimuthStep(float value) {
    return step(value, 24.99, kAzimuthSteps - 1);
}
int32_t elevationStep(float value) {
    return step(value, 49.99, kElevationSteps - 1);
}

} // namespace vorpane
