#include "engine/RecordResampler.h"

#include "engine/HrirTable.h"
#include "engine/SampleRates.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorpane {

namespace {

// The zeroth-order modified Bessel function of the first kind, by its power series.
double besselI0(double x) {
    const double quarter = x * x / 4.0;
    double term = 1.0, sum = 1.0;
    for (int k = 1; k < 60 && term > sum * 1e-17; ++k) {
        term *= quarter / (static_cast<double>(k) * k);
        sum += term;
    }
    return sum;
}

double sinc(double x) {
    if (x == 0.0) return 1.0;
    const double a = std::numbers::pi * x;
    return std::sin(a) / a;
}

// Where a response is longer in time than kMostTaps allow (above 176.4 kHz), its last 0.05 ms is
// faded out with a half Hann window, so that it ends without a step. A longer fade takes more
// of the response's own tail away than the step it avoids.
constexpr double kFadeSeconds = 0.00005;

} // namespace

RecordResampler::RecordResampler(double rate, const Kernel& kernel) : outputTaps(tapsAtRate(rate)) {
    const double step = kTableRate / rate; // record taps per new tap
    const double band = kernel.band * std::min(1.0, rate / kTableRate);
    const double halfWidth = kernel.zeroCrossings / band; // in record taps
    const double windowScale = 1.0 / besselI0(kernel.beta);
    span = static_cast<int32_t>(std::floor(2.0 * halfWidth)) + 2;
    first.assign(static_cast<size_t>(outputTaps), 0);
    weights.assign(static_cast<size_t>(outputTaps) * static_cast<size_t>(span), 0.0);

    const double naturalTaps = kTapsPerRecord * rate / kTableRate;
    const int32_t fadeTaps =
        naturalTaps > kMostTaps ? static_cast<int32_t>(std::lround(kFadeSeconds * rate)) : 0;

    for (int32_t m = 0; m < outputTaps; ++m) {
        const double at = m * step;
        const int32_t lowest = std::max(0, static_cast<int32_t>(std::ceil(at - halfWidth)));
        first[static_cast<size_t>(m)] = lowest;
        double fade = 1.0;
        const int32_t fromEnd = outputTaps - m; // 1 for the last tap
        if (fromEnd <= fadeTaps)
            fade = 0.5 - 0.5 * std::cos(std::numbers::pi * (fromEnd - 0.5) / fadeTaps);
        double* w = weights.data() + static_cast<size_t>(m) * static_cast<size_t>(span);
        for (int32_t j = 0; j < span; ++j) {
            const int32_t n = lowest + j;
            const double x = at - n;
            if (n >= kTapsPerRecord || std::abs(x) >= halfWidth) continue;
            const double r = x / halfWidth;
            const double window = besselI0(kernel.beta * std::sqrt(1.0 - r * r)) * windowScale;
            w[j] = step * band * sinc(band * x) * window * fade;
        }
    }
}

void RecordResampler::resample(const double* records, size_t count, float* resampled) const {
    // A few records at a time, so that their taps stay in the cache while every new tap of them
    // is formed.
    constexpr size_t kGroup = 32;
    for (size_t group = 0; group < count; group += kGroup) {
        const size_t members = std::min(kGroup, count - group);
        for (int32_t m = 0; m < outputTaps; ++m) {
            const int32_t lowest = first[static_cast<size_t>(m)];
            const int32_t used = std::min(span, kTapsPerRecord - lowest);
            const double* w = weights.data() + static_cast<size_t>(m) * static_cast<size_t>(span);
            double sum[kGroup] = {};
            for (int32_t j = 0; j < used; ++j) {
                const double weight = w[j];
                const double* taps = records + static_cast<size_t>(lowest + j) * count + group;
                for (size_t r = 0; r < members; ++r)
                    sum[r] += weight * taps[r];
            }
            for (size_t r = 0; r < members; ++r)
                resampled[(group + r) * static_cast<size_t>(outputTaps) + static_cast<size_t>(m)] =
                    static_cast<float>(sum[r]);
        }
    }
}

} // namespace vorpane
