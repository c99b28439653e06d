#include "tests/fft/FFTRealProbe.h"
#include "tests/fft/Signals.h"
#include "tests/support/EachVectorTier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using ffttest::maxAbs;
using ffttest::maxDifference;

ON_EACH_VECTOR_TIER(FFTRealRoundTrip);
ON_EACH_VECTOR_TIER(FFTRealOscillators);

TEST_P(FFTRealRoundTrip, NormalisedInverseOfForwardGivesTheSignalBack) {
    for (int32_t n : {1, 2, 4, 8, 16, 64, 2048, 1 << 13, 1 << 14, 1 << 15}) {
        FFTReal<double> fft(n, tier());
        const std::vector<double> x = ffttest::randomSignal(n, 11 + n);
        std::vector<double> f(static_cast<size_t>(n)), y(static_cast<size_t>(n));
        fft.forward_transform(f.data(), x.data());
        fft.inverse_transform(f.data(), y.data());
        EXPECT_NEAR(y[0], n * x[0], 1e-12 * n) << n; // before normalisation: n times x
        fft.normalize(y.data());
        EXPECT_LE(maxDifference(x, y), 1e-12 * maxAbs(x)) << "length " << n;
    }
}

TEST_P(FFTRealRoundTrip, RotationErrorStaysSmallForVeryLongTransforms) {
    // The rotated twiddles drift with the number of steps; at 2^16 the error is still tiny.
    const int32_t n = 1 << 16;
    FFTReal<double> fft(n, tier());
    const std::vector<double> x = ffttest::randomSignal(n, 17);
    std::vector<double> f(static_cast<size_t>(n)), y(static_cast<size_t>(n));
    fft.forward_transform(f.data(), x.data());
    fft.inverse_transform(f.data(), y.data());
    fft.normalize(y.data());
    EXPECT_LE(maxDifference(x, y), 1e-11 * maxAbs(x));
}

TEST_P(FFTRealOscillators, PassesAgreeWithTheTableVariant) {
    // Above 12 bits the twiddles come from rotation; the cosine table also reaches those
    // levels, so both variants of each pass can run on the same data.
    const int32_t n = 1 << 15;
    FFTRealProbe fft(n, tier());
    const std::vector<double> source = ffttest::randomSignal(n, 5);
    std::vector<double> viaTable(n), viaOscillator(n);
    for (int32_t pass = FFTRealProbe::TRIGO_BD_LIMIT + 1; pass < fft._nbr_bits; ++pass) {
        fft.compute_direct_pass_n_lut(viaTable.data(), source.data(), pass);
        fft.compute_direct_pass_n_osc(viaOscillator.data(), source.data(), pass);
        EXPECT_LE(maxDifference(viaTable, viaOscillator), 1e-12 * maxAbs(viaTable)) << pass;
        fft.compute_inverse_pass_n_lut(viaTable.data(), source.data(), pass);
        fft.compute_inverse_pass_n_osc(viaOscillator.data(), source.data(), pass);
        EXPECT_LE(maxDifference(viaTable, viaOscillator), 1e-12 * maxAbs(viaTable)) << pass;
    }
}

TEST_P(FFTRealOscillators, LongTransformMatchesTheDirectTransformOnSampledBins) {
    const int32_t n = 1 << 14;
    const std::vector<double> x = ffttest::randomSignal(n, 21);
    FFTReal<double> fft(n, tier());
    std::vector<double> f(n);
    fft.forward_transform(f.data(), x.data());
    const long double pi = 3.14159265358979323846264338327950288L;
    double largest = 0, error = 0;
    for (int32_t k : {0, 1, 2, 3, 1000, 4095, 4096, 8191, 8192}) {
        long double re = 0, im = 0;
        for (int32_t i = 0; i < n; ++i) {
            const long double angle = 2 * pi * ((static_cast<int64_t>(k) * i) % n) / n;
            re += x[i] * std::cos(angle);
            im += x[i] * std::sin(angle);
        }
        largest = std::max(largest, static_cast<double>(std::abs(re)));
        error = std::max(error, std::abs(f[k] - static_cast<double>(re)));
        if (k > 0 && k < n / 2) error = std::max(error, std::abs(f[n / 2 + k] - (double)im));
    }
    EXPECT_LE(error, 1e-12 * std::max(largest, 1.0));
}

TEST(FFTRealOtherTypes, FloatUsesThePlainLoopsAndAgrees) {
    const int32_t n = 2048;
    const std::vector<double> x = ffttest::randomSignal(n, 41);
    std::vector<float> xf(x.begin(), x.end()), ff(n);
    FFTReal<float> fft(n);
    fft.forward_transform(ff.data(), xf.data());
    const std::vector<double> expected = ffttest::directSpectrum(x);
    const std::vector<double> f(ff.begin(), ff.end());
    EXPECT_LE(maxDifference(f, expected), 1e-5 * maxAbs(expected));
    std::vector<float> y(n);
    fft.inverse_transform(ff.data(), y.data());
    fft.normalize(y.data());
    for (int32_t i = 0; i < n; ++i)
        ASSERT_NEAR(y[i], xf[i], 1e-5) << i;
}
