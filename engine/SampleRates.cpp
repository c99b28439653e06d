#include "engine/SampleRates.h"

#include "engine/HrirTable.h"

#include <algorithm>
#include <cmath>

namespace vorpane {

double supportedRate(double hostRate) {
    if (!(hostRate > 0.0)) return kTableRate; // zero, negative or NaN
    return std::clamp(hostRate, kLowestRate, kHighestRate);
}

int32_t tapsAtRate(double rate) {
    const double taps = std::round(kTapsPerRecord * rate / kTableRate);
    return static_cast<int32_t>(std::min<double>(taps, kMostTaps));
}

} // namespace vorpane
