#include "tests/fft/FFTRealProbe.h"
#include "tests/fft/Signals.h"
#include "tests/support/EachVectorTier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

using ffttest::maxDifference;

namespace {

constexpr double kTolerance = 1e-9;

std::vector<double> forward(int32_t n, const std::vector<double>& x, fftreal::VectorTier tier) {
    FFTReal<double> fft(n, tier);
    std::vector<double> f(static_cast<size_t>(n));
    fft.forward_transform(f.data(), x.data());
    return f;
}

} // namespace

ON_EACH_VECTOR_TIER(FFTRealTables);
ON_EACH_VECTOR_TIER(FFTRealForward);
ON_EACH_VECTOR_TIER(FFTRealInverse);

TEST_P(FFTRealTables, SizesFollowTheLength) {
    FFTRealProbe fft2048(2048, tier());
    EXPECT_EQ(fft2048.get_length(), 2048);
    EXPECT_EQ(fft2048.get_vector_tier(), std::min(tier(), fftreal::processor_tier()));
    EXPECT_EQ(fft2048._nbr_bits, 11);
    EXPECT_EQ(fft2048._bit_rev_table.size(), 2048);
    EXPECT_EQ(fft2048._cos_table.size(), 1020);
    EXPECT_EQ(fft2048._oscillators.size(), 0);

    FFTRealProbe fft8(8, tier());
    EXPECT_EQ(fft8._nbr_bits, 3);
    EXPECT_EQ(fft8._cos_table.size(), 0);

    FFTRealProbe fft1(1, tier());
    EXPECT_EQ(fft1._nbr_bits, 0);
    EXPECT_EQ(fft1._bit_rev_table.size(), 1);

    FFTRealProbe fftLong(1 << 15, tier());
    EXPECT_EQ(fftLong._nbr_bits, 15);
    EXPECT_EQ(fftLong._oscillators.size(), 3);
}

TEST_P(FFTRealTables, BitReversalAndCosineLevels) {
    FFTRealProbe fft(2048, tier());
    for (int32_t i = 0; i < 2048; ++i) {
        int32_t reversed = 0;
        for (int32_t bit = 0; bit < 11; ++bit)
            if (i & (1 << bit)) reversed |= 1 << (10 - bit);
        ASSERT_EQ(fft._bit_rev_table[i], reversed) << i;
    }
    for (int32_t level = 3; level < 11; ++level) {
        const double* entries = fft.get_trigo_level_ptr(level);
        const int32_t count = 1 << (level - 1);
        for (int32_t j = 0; j < count; ++j)
            ASSERT_NEAR(entries[j], std::cos(j * std::numbers::pi / (1 << level)), 1e-15);
    }
}

TEST_P(FFTRealForward, ImpulsesGiveFlatAndRotatingSpectra) {
    for (int32_t n : {8, 16, 2048}) {
        const int32_t half = n / 2;
        std::vector<double> x(static_cast<size_t>(n), 0.0);
        x[0] = 1.0;
        std::vector<double> f = forward(n, x, tier());
        for (int32_t k = 0; k <= half; ++k)
            EXPECT_NEAR(f[k], 1.0, kTolerance) << n << " " << k;
        for (int32_t k = half + 1; k < n; ++k)
            EXPECT_NEAR(f[k], 0.0, kTolerance) << n << " " << k;

        x[0] = 0.0;
        x[1] = 1.0;
        f = forward(n, x, tier());
        for (int32_t k = 0; k <= half; ++k)
            EXPECT_NEAR(f[k], std::cos(2 * std::numbers::pi * k / n), kTolerance) << n << " " << k;
        for (int32_t k = 1; k < half; ++k)
            EXPECT_NEAR(f[half + k], std::sin(2 * std::numbers::pi * k / n), kTolerance)
                << n << " " << k;
    }
}

TEST_P(FFTRealForward, CosineSineAndAlternatingSignalsHitOneBin) {
    const int32_t n = 2048;
    std::vector<double> cosine(n), sine(n), alternating(n);
    for (int32_t i = 0; i < n; ++i) {
        cosine[i] = std::cos(2 * std::numbers::pi * 3 * i / n);
        sine[i] = std::sin(2 * std::numbers::pi * i / n);
        alternating[i] = (i % 2 == 0) ? 1.0 : -1.0;
    }
    auto expectSingleBin = [&](const std::vector<double>& f, int32_t bin, double value) {
        for (int32_t k = 0; k < n; ++k)
            ASSERT_NEAR(f[k], k == bin ? value : 0.0, 1e-9) << "bin " << k;
    };
    expectSingleBin(forward(n, cosine, tier()), 3, n / 2.0);
    expectSingleBin(forward(n, sine, tier()), n / 2 + 1, n / 2.0);
    expectSingleBin(forward(n, alternating, tier()), n / 2, n);
}

TEST_P(FFTRealForward, ShortLengthsAndLongOnesMatchTheDirectTransform) {
    for (int32_t n : {1, 2, 4, 8, 16, 1 << 13}) {
        const std::vector<double> x = ffttest::randomSignal(n, 100 + n);
        const std::vector<double> expected = ffttest::directSpectrum(x);
        const std::vector<double> f = forward(n, x, tier());
        EXPECT_LE(maxDifference(f, expected), 1e-12 * ffttest::maxAbs(expected)) << "length " << n;
    }
}

TEST_P(FFTRealInverse, InvertsTheDirectFormulas) {
    // The inverse of an arbitrary half-complex spectrum, evaluated term by term.
    for (int32_t n : {1, 2, 4, 8, 32}) {
        const std::vector<double> f = ffttest::randomSignal(n, 7 + n);
        FFTReal<double> fft(n, tier());
        std::vector<double> x(static_cast<size_t>(n));
        fft.inverse_transform(f.data(), x.data());
        const int32_t half = n / 2;
        for (int32_t i = 0; i < n; ++i) {
            double y = f[0];
            if (n > 1) y += ((i % 2) ? -1.0 : 1.0) * f[half];
            for (int32_t k = 1; k < half; ++k)
                y += 2 * (f[k] * std::cos(2 * std::numbers::pi * k * i / n) +
                          f[half + k] * std::sin(2 * std::numbers::pi * k * i / n));
            EXPECT_NEAR(x[i], y, 1e-12 * n) << n << " " << i;
        }
    }
}

TEST_P(FFTRealInverse, LeavesTheSpectrumUntouched) {
    for (int32_t n : {4, 8, 2048, 1 << 14}) {
        FFTReal<double> fft(n, tier());
        const std::vector<double> spectrum = ffttest::randomSignal(n, 3);
        std::vector<double> f = spectrum;
        std::vector<double> x(static_cast<size_t>(n));
        fft.inverse_transform(f.data(), x.data());
        EXPECT_EQ(f, spectrum) << n;
    }
}
