// Test signals and a direct DFT in the half-complex layout, for comparison.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace ffttest {

inline std::vector<double> randomSignal(int32_t n, uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<double> x(static_cast<size_t>(n));
    for (double& v : x)
        v = value(generator);
    return x;
}

// Direct DFT with exact twiddles (index k·n taken mod N) summed in long double.
inline std::vector<double> directSpectrum(const std::vector<double>& x) {
    const size_t n = x.size();
    std::vector<long double> cosTable(n), sinTable(n);
    for (size_t i = 0; i < n; ++i) {
        const long double angle = 2.0L * 3.14159265358979323846264338327950288L * i / n;
        cosTable[i] = std::cos(angle);
        sinTable[i] = std::sin(angle);
    }
    std::vector<double> f(n);
    const size_t half = n / 2;
    for (size_t k = 0; k <= half && k < n; ++k) {
        long double re = 0, im = 0;
        size_t index = 0;
        for (size_t i = 0; i < n; ++i) {
            re += x[i] * cosTable[index];
            im += x[i] * sinTable[index];
            index += k;
            if (index >= n) index -= n;
        }
        f[k] = static_cast<double>(re);
        if (k > 0 && k < half) f[half + k] = static_cast<double>(im);
    }
    return f;
}

// The inverse transform (N times the signal) of a half-complex spectrum, summed in long double.
inline std::vector<double> directInverse(const std::vector<double>& f) {
    const size_t n = f.size();
    const size_t half = n / 2;
    std::vector<long double> cosTable(n), sinTable(n);
    for (size_t i = 0; i < n; ++i) {
        const long double angle = 2.0L * 3.14159265358979323846264338327950288L * i / n;
        cosTable[i] = std::cos(angle);
        sinTable[i] = std::sin(angle);
    }
    std::vector<double> x(n);
    for (size_t i = 0; i < n; ++i) {
        long double y = f[0] + ((i % 2) ? -1.0L : 1.0L) * f[half];
        size_t index = 0;
        for (size_t k = 1; k < half; ++k) {
            index += i;
            if (index >= n) index -= n;
            y += 2 * (f[k] * cosTable[index] + f[half + k] * sinTable[index]);
        }
        x[i] = static_cast<double>(y);
    }
    return x;
}

inline double maxAbs(const std::vector<double>& v) {
    double m = 0;
    for (double x : v)
        m = std::max(m, std::abs(x));
    return m;
}

inline double maxDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double m = 0;
    for (size_t i = 0; i < a.size(); ++i)
        m = std::max(m, std::abs(a[i] - b[i]));
    return m;
}

} // namespace ffttest
