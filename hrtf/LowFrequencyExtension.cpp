#include "hrtf/LowFrequencyExtension.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void extendLowEnd(std::vector<double>& magnitude, double binHz, const LinkBand& band) {
    double power = 0;
    int count = 0;
    for (size_t k = 0; k < magnitude.size(); ++k) {
        const double hz = static_cast<double>(k) * binHz;
        if (hz >= band.lowHz && hz <= band.highHz) power += magnitude[k] * magnitude[k], ++count;
    }
    if (count == 0) return;
    const double level = std::sqrt(power / count);
    for (size_t k = 0; k < magnitude.size(); ++k) {
        const double hz = static_cast<double>(k) * binHz;
        if (hz >= band.highHz) break;
        const double w = hz <= band.lowHz ? 0.0 : (hz - band.lowHz) / (band.highHz - band.lowHz);
        magnitude[k] = std::pow(level, 1.0 - w) * std::pow(std::max(magnitude[k], 1e-30), w);
    }
}

void invertAbove(std::vector<double>& response, double crossoverHz, double sampleRate) {
    // A(z) = (c - 1/z) / (1 - c/z): -1 at DC, +1 at the Nyquist frequency; the result is -A.
    const double t = std::tan(std::numbers::pi * crossoverHz / sampleRate);
    const double c = (1.0 - t) / (1.0 + t);
    double previousIn = 0.0, previousOut = 0.0;
    for (double& v : response) {
        const double out = c * v - previousIn + c * previousOut;
        previousIn = v;
        previousOut = out;
        v = -out;
    }
}
