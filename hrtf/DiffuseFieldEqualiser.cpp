#include "hrtf/DiffuseFieldEqualiser.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

void DiffuseFieldEqualiser::addMagnitude(const std::vector<double>& magnitude) {
    if (magnitude.size() != settings.fftSize / 2 + 1)
        throw std::invalid_argument("spectrum of the wrong size");
    if (powerSum.empty()) powerSum.assign(magnitude.size(), 0.0);
    for (size_t k = 0; k < magnitude.size(); ++k)
        powerSum[k] += magnitude[k] * magnitude[k];
    ++count;
}

std::vector<double> DiffuseFieldEqualiser::smoothedPower() const {
    const size_t bins = powerSum.size();
    std::vector<double> prefix(bins + 1, 0.0);
    for (size_t k = 0; k < bins; ++k)
        prefix[k + 1] = prefix[k] + powerSum[k];
    const double edge = std::pow(2.0, 1.0 / 6.0); // half a third of an octave
    std::vector<double> smoothed(bins);
    for (size_t k = 0; k < bins; ++k) {
        size_t low = k, high = k;
        if (k > 0) {
            low = std::min(k, static_cast<size_t>(std::ceil(static_cast<double>(k) / edge)));
            high = std::max(k, static_cast<size_t>(std::floor(static_cast<double>(k) * edge)));
            high = std::min(high, bins - 1);
        }
        smoothed[k] = (prefix[high + 1] - prefix[low]) / static_cast<double>(high - low + 1) /
                      static_cast<double>(count);
    }
    return smoothed;
}

std::vector<double> DiffuseFieldEqualiser::correctionMagnitude() const {
    if (count == 0) throw std::logic_error("no responses to average");
    const std::vector<double> power = smoothedPower();
    const double binHz = settings.sampleRate / static_cast<double>(settings.fftSize);

    // Correction in dB, its mean over the mean band, then the limits around that mean.
    std::vector<double> gainDb(power.size());
    double sum = 0.0;
    size_t inBand = 0;
    for (size_t k = 0; k < power.size(); ++k) {
        gainDb[k] = -10.0 * std::log10(std::max(power[k], 1e-300));
        const double hz = static_cast<double>(k) * binHz;
        if (hz >= settings.meanLowHz && hz <= settings.meanHighHz) {
            sum += gainDb[k];
            ++inBand;
        }
    }
    if (inBand == 0) throw std::logic_error("empty mean band");
    const double mean = sum / static_cast<double>(inBand);
    const auto hold = static_cast<size_t>(std::ceil(settings.holdBelowHz / binHz));
    std::vector<double> gain(power.size());
    for (size_t k = 0; k < power.size(); ++k) {
        const double db = gainDb[std::max(k, std::min(hold, power.size() - 1))];
        gain[k] = std::pow(
            10.0, (std::clamp(db, mean - settings.limitDb, mean + settings.limitDb) - mean) / 20.0);
    }
    return gain;
}
