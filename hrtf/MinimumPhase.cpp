#include "hrtf/MinimumPhase.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <stdexcept>

std::vector<double> minimumPhase(const std::vector<double>& magnitude, const ComplexFft& fft) {
    const size_t n = fft.size();
    if (magnitude.size() != n / 2 + 1) throw std::invalid_argument("magnitude of the wrong size");
    const double floor = 1e-5 * *std::max_element(magnitude.begin(), magnitude.end());
    if (!(floor > 0.0)) throw std::invalid_argument("silent magnitude spectrum");
    std::vector<std::complex<double>> c(n);
    for (size_t k = 0; k < n; ++k)
        c[k] = std::log(std::max(magnitude[k <= n / 2 ? k : n - k], floor));
    fft.inverse(c);
    // Fold the cepstrum onto positive quefrencies and exponentiate its spectrum.
    for (size_t q = 0; q < n; ++q) {
        const double value = c[q].real();
        c[q] = q == 0 || q == n / 2 ? value : q < n / 2 ? 2.0 * value : 0.0;
    }
    fft.forward(c);
    for (auto& v : c)
        v = std::exp(v);
    fft.inverse(c);
    std::vector<double> response(n);
    for (size_t i = 0; i < n; ++i)
        response[i] = c[i].real();
    return response;
}
