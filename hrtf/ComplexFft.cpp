#include "hrtf/ComplexFft.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <utility>

ComplexFft::ComplexFft(size_t size) : n(size), twiddles(size / 2), reversed(size) {
    if (size < 2 || (size & (size - 1)) != 0)
        throw std::invalid_argument("FFT size must be a power of two");
    for (size_t k = 0; k < n / 2; ++k) {
        const double angle =
            -2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n);
        twiddles[k] = {std::cos(angle), std::sin(angle)};
    }
    size_t bits = 0;
    while ((size_t{1} << bits) < n)
        ++bits;
    for (size_t i = 0; i < n; ++i) {
        size_t r = 0;
        for (size_t b = 0; b < bits; ++b)
            if (i & (size_t{1} << b)) r |= size_t{1} << (bits - 1 - b);
        reversed[i] = r;
    }
}

void ComplexFft::transform(std::vector<std::complex<double>>& data, bool inverse) const {
    if (data.size() != n) throw std::invalid_argument("FFT input of the wrong size");
    for (size_t i = 0; i < n; ++i)
        if (i < reversed[i]) std::swap(data[i], data[reversed[i]]);
    for (size_t half = 1; half < n; half *= 2) {
        const size_t stride = n / (2 * half);
        for (size_t start = 0; start < n; start += 2 * half) {
            for (size_t k = 0; k < half; ++k) {
                std::complex<double> w = twiddles[k * stride];
                if (inverse) w = std::conj(w);
                const std::complex<double> a = data[start + k];
                const std::complex<double> b = data[start + k + half] * w;
                data[start + k] = a + b;
                data[start + k + half] = a - b;
            }
        }
    }
    if (inverse) {
        const double scale = 1.0 / static_cast<double>(n);
        for (auto& v : data)
            v *= scale;
    }
}
