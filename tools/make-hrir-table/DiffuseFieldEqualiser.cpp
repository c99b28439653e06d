#include "DiffuseFieldEqualiser.h"

#include "ComplexFft.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <stdexcept>

namespace {

using Spectrum = std::vector<std::complex<double>>;

void checkLength(const std::vector<double>& response, size_t fftSize) {
    if (response.size() > fftSize / 2)
        throw std::invalid_argument("response longer than half the transform");
}

} // namespace

void DiffuseFieldEqualiser::addResponsePair(const std::vector<double>& first,
                                            const std::vector<double>& second) {
    const size_t n = settings.fftSize;
    checkLength(first, n);
    checkLength(second, n);
    if (powerSum.empty()) powerSum.assign(n / 2 + 1, 0.0);
    Spectrum z(n);
    for (size_t i = 0; i < first.size(); ++i)
        z[i].real(first[i]);
    for (size_t i = 0; i < second.size(); ++i)
        z[i].imag(second[i]);
    ComplexFft(n).forward(z);
    // Z = X + iY with X, Y the spectra of two real signals: X = (Z[k] + conj Z[n-k]) / 2,
    // Y = (Z[k] - conj Z[n-k]) / 2i.
    for (size_t k = 0; k <= n / 2; ++k) {
        const std::complex<double> a = z[k];
        const std::complex<double> b = std::conj(z[(n - k) % n]);
        powerSum[k] += std::norm((a + b) * 0.5) + std::norm((a - b) * 0.5);
    }
    count += 2;
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

std::vector<double> DiffuseFieldEqualiser::correctionFilter() const {
    if (count == 0) throw std::logic_error("no responses to average");
    const size_t n = settings.fftSize;
    const std::vector<double> power = smoothedPower();

    // Correction in dB, its mean over the mean band, then the limits around that mean.
    std::vector<double> gainDb(power.size());
    double sum = 0.0;
    size_t inBand = 0;
    for (size_t k = 0; k < power.size(); ++k) {
        gainDb[k] = -10.0 * std::log10(std::max(power[k], 1e-300));
        const double hz = static_cast<double>(k) * settings.sampleRate / static_cast<double>(n);
        if (hz >= settings.meanLowHz && hz <= settings.meanHighHz) {
            sum += gainDb[k];
            ++inBand;
        }
    }
    if (inBand == 0) throw std::logic_error("empty mean band");
    const double mean = sum / static_cast<double>(inBand);
    for (double& g : gainDb)
        g = std::clamp(g, mean - settings.limitDb, mean + settings.limitDb) - mean;

    // Minimum phase by the real cepstrum: fold the cepstrum of the log magnitude onto positive
    // quefrencies and exponentiate its spectrum.
    const ComplexFft fft(n);
    Spectrum c(n);
    for (size_t k = 0; k < n; ++k) {
        const size_t bin = k <= n / 2 ? k : n - k;
        c[k] = gainDb[bin] * std::log(10.0) / 20.0;
    }
    fft.inverse(c);
    for (size_t q = 0; q < n; ++q) {
        const double value = c[q].real();
        if (q == 0 || q == n / 2)
            c[q] = value;
        else if (q < n / 2)
            c[q] = 2.0 * value;
        else
            c[q] = 0.0;
    }
    fft.forward(c);
    for (auto& v : c)
        v = std::exp(v);
    fft.inverse(c);
    std::vector<double> filter(n);
    for (size_t i = 0; i < n; ++i)
        filter[i] = c[i].real();
    return filter;
}
