// A rigid spherical head for testing the table generator on a set other than the built-in one:
// each ear's delay from Woodworth's formula and its head shadow as a first-order shelf (Brown and
// Duda), 200 taps at 48 kHz, the delays kept apart from the responses as a SOFA file's Data.Delay.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace sphericalhead {

constexpr double kRate = 48000.0;
constexpr int kTaps = 200;
constexpr double kRadius = 0.0875;  // metres
constexpr double kSpeed = 343.0;    // metres per second
constexpr double kLeadSamples = 10; // every delay is at least this

// Angle between a source direction (unit vector: x forward, y left, z up) and an ear's axis.
inline double earAngle(const std::array<double, 3>& source, int ear) {
    const double cosine = ear == 0 ? source[1] : -source[1];
    return std::acos(std::clamp(cosine, -1.0, 1.0));
}

// The ear's delay in samples at `rate`.
inline double delaySamples(double angle, double rate = kRate) {
    const double path =
        angle <= std::numbers::pi / 2 ? -std::cos(angle) : angle - std::numbers::pi / 2;
    return kLeadSamples + (path + 1.0) * kRadius / kSpeed * rate;
}

// The shelf's high-frequency gain: 2 facing the source, 0.1 at 150 degrees from it.
inline double shadowGain(double angle) {
    return 1.05 + 0.95 * std::cos(angle * 180.0 / 150.0);
}

// The head shadow, (1 + alpha s / 2w) / (1 + s / 2w) with w = speed / radius, by the bilinear
// transform: `taps` taps at `rate` starting at tap 0.
inline std::vector<double> impulseResponse(double angle, double rate = kRate, int taps = kTaps) {
    const double alpha = shadowGain(angle), beta = 2.0 * kSpeed / kRadius, k = 2.0 * rate;
    const double a0 = 1 + k / beta, a1 = (1 - k / beta) / a0;
    const double b0 = (1 + alpha * k / beta) / a0, b1 = (1 - alpha * k / beta) / a0;
    std::vector<double> h(taps);
    double previousIn = 0, previousOut = 0;
    for (int n = 0; n < taps; ++n) {
        const double in = n == 0 ? 1.0 : 0.0;
        h[n] = b0 * in + b1 * previousIn - a1 * previousOut;
        previousIn = in, previousOut = h[n];
    }
    return h;
}

} // namespace sphericalhead
