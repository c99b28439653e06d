#include "KemarDirections.h"

#include "hrtf/TableDirections.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace kemar {
namespace {

struct Ring {
    int elevation;
    int count;
};
constexpr std::array<Ring, 14> kRings = {{{-40, 56},
                                          {-30, 60},
                                          {-20, 72},
                                          {-10, 72},
                                          {0, 72},
                                          {10, 72},
                                          {20, 72},
                                          {30, 60},
                                          {40, 56},
                                          {50, 45},
                                          {60, 36},
                                          {70, 24},
                                          {80, 12},
                                          {90, 1}}};

struct Measurement {
    int ring;
    int step;
    std::array<double, 3> direction;
};

std::vector<Measurement> makeMeasurements() {
    std::vector<Measurement> all;
    for (int r = 0; r < static_cast<int>(kRings.size()); ++r) {
        for (int k = 0; k < kRings[r].count; ++k) {
            const double az = 2.0 * std::numbers::pi * k / kRings[r].count;
            const double el = kRings[r].elevation * std::numbers::pi / 180.0;
            all.push_back(
                {r, k, {std::cos(el) * std::cos(az), std::cos(el) * std::sin(az), std::sin(el)}});
        }
    }
    return all;
}

const std::vector<Measurement>& measurements() {
    static const std::vector<Measurement> all = makeMeasurements();
    return all;
}

double angleDegrees(const std::array<double, 3>& u, const std::array<double, 3>& v) {
    const double dot = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
    return std::acos(std::clamp(dot, -1.0, 1.0)) * 180.0 / std::numbers::pi;
}

} // namespace

int nearestMeasurement(int a, int e) {
    const std::array<double, 3> d = hrirgrid::direction(a, e);
    const auto& all = measurements();
    int best = kAmbiguous;
    double bestAngle = 1e9, secondAngle = 1e9;
    for (int m = 0; m < static_cast<int>(all.size()); ++m) {
        const double angle = angleDegrees(d, all[m].direction);
        if (angle < bestAngle) {
            secondAngle = bestAngle;
            bestAngle = angle;
            best = m;
        } else if (angle < secondAngle) {
            secondAngle = angle;
        }
    }
    return secondAngle - bestAngle > 0.01 ? best : kAmbiguous;
}

int mirroredMeasurement(int m) {
    const auto& all = measurements();
    const Measurement& x = all[m];
    const int count = kRings[x.ring].count;
    return m - x.step + (count - x.step) % count;
}

} // namespace kemar
