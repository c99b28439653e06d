#include "hrtf/TimeDifference.h"

#include "hrtf/ComplexFft.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace {

constexpr double kHighestHz = 1500.0;
constexpr double kWidestSeconds = 0.0015;

} // namespace

double lowFrequencyTimeDifference(const std::vector<double>& left, double leftDelay,
                                  const std::vector<double>& right, double rightDelay, double rate,
                                  ComplexFftCache* transforms) {
    const double longest = static_cast<double>(std::max(left.size(), right.size()));
    size_t n = 4096;
    while (static_cast<double>(n) < 2 * (longest + std::max(leftDelay, rightDelay)) ||
           static_cast<double>(n) < 4096 * rate / 44100.0)
        n *= 2;
    std::vector<std::complex<double>> l(n), r(n);
    std::copy(left.begin(), left.end(), l.begin());
    std::copy(right.begin(), right.end(), r.begin());
    ComplexFftCache own;
    const ComplexFft& fft = (transforms ? *transforms : own).of(n);
    fft.forward(l);
    fft.forward(r);
    // The cross spectrum below the band's edge, each ear's own delay as a linear phase.
    std::vector<std::complex<double>> x(n);
    const auto last = static_cast<size_t>(kHighestHz / rate * static_cast<double>(n));
    for (size_t k = 0; k <= last && k < n / 2; ++k) {
        const double w = 2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n);
        x[k] = r[k] * std::conj(l[k]) * std::polar(1.0, -w * (rightDelay - leftDelay));
        if (k > 0) x[n - k] = std::conj(x[k]);
    }
    fft.inverse(x);
    auto at = [&](long lag) {
        return x[static_cast<size_t>((lag + static_cast<long>(n)) % static_cast<long>(n))].real();
    };
    const long range = std::lround(rate * kWidestSeconds);
    long best = 0;
    for (long lag = -range; lag <= range; ++lag)
        if (at(lag) > at(best)) best = lag;
    const double before = at(best - 1), peak = at(best), after = at(best + 1);
    const double curvature = before - 2 * peak + after;
    const double fraction = curvature < 0 ? 0.5 * (before - after) / curvature : 0.0;
    return (static_cast<double>(best) + std::clamp(fraction, -0.5, 0.5)) / rate;
}
