// The vector forms of the inner loops give the same bits as the plain loops, whichever of them
// a processor ends up running.
#include "fft/FFTRealKernels.h"
#include "tests/fft/FFTRealProbe.h"
#include "tests/fft/Signals.h"
#include "tests/support/EachVectorTier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int32_t kLength = 2048;

std::vector<int32_t> bitReversal(int32_t length) {
    FFTRealProbe fft(length); // the table alone, the same on every tier
    std::vector<int32_t> table(static_cast<size_t>(length));
    for (int32_t i = 0; i < length; ++i)
        table[i] = fft._bit_rev_table[i];
    return table;
}

std::vector<double> cosineLevel(int32_t pass) {
    const int32_t m = 1 << (pass - 1);
    std::vector<double> level(static_cast<size_t>(m));
    for (int32_t j = 0; j < m; ++j)
        level[j] = std::cos(j * (std::numbers::pi / (1 << pass)));
    return level;
}

// One table pass with the plain loop, block by block.
void plainForwardPass(double* df, const double* sf, const double* cos_ptr, int32_t n) {
    const int32_t m = n / 2;
    for (int32_t b = 0; b < kLength; b += 2 * n) {
        const double* s1r = sf + b;
        double* dr = df + b;
        dr[0] = s1r[0] + s1r[n];
        dr[n] = s1r[0] - s1r[n];
        dr[m] = s1r[m];
        dr[n + m] = s1r[n + m];
        fftreal::forward_butterflies<double>(dr, dr + n, s1r, s1r + n, s1r + m, s1r + m + n,
                                             cos_ptr, m, n, 1, m);
    }
}

void plainInversePass(double* df, const double* sf, const double* cos_ptr, int32_t n) {
    const int32_t m = n / 2;
    for (int32_t b = 0; b < kLength; b += 2 * n) {
        const double* sr = sf + b;
        double* d1r = df + b;
        d1r[0] = sr[0] + sr[n];
        d1r[n] = sr[0] - sr[n];
        d1r[m] = sr[m] * 2;
        d1r[n + m] = sr[n + m] * 2;
        fftreal::inverse_butterflies<double>(d1r, d1r + n, d1r + m, d1r + m + n, sr, sr + n,
                                             cos_ptr, m, n, 1, m);
    }
}

} // namespace

ON_EACH_VECTOR_TIER(FFTRealKernels);

TEST_P(FFTRealKernels, BitReversedStagesMatchThePlainLoops) {
    const std::vector<double> x = ffttest::randomSignal(kLength, 51);
    const std::vector<int32_t> table = bitReversal(kLength);
    std::vector<double> plain(kLength), paired(kLength);
    fftreal::forward_pass_1_2<double>(plain.data(), x.data(), table.data(), kLength);
    fftreal::forward_pass_1_2(paired.data(), x.data(), table.data(), kLength);
    EXPECT_EQ(paired, plain);
    fftreal::inverse_pass_1_2<double>(plain.data(), x.data(), table.data(), kLength);
    fftreal::inverse_pass_1_2(paired.data(), x.data(), table.data(), kLength);
    EXPECT_EQ(paired, plain);
}

TEST_P(FFTRealKernels, TablePassesMatchThePlainLoops) {
    const std::vector<double> source = ffttest::randomSignal(kLength, 52);
    for (int32_t pass = 3; pass < 11; ++pass) {
        const int32_t n = 1 << pass;
        const std::vector<double> level = cosineLevel(pass);
        std::vector<double> plain(kLength), paired(kLength);
        plainForwardPass(plain.data(), source.data(), level.data(), n);
        FFTRealProbe fft(kLength, tier()); // its own table pass
        fft.compute_direct_pass_n_lut(paired.data(), source.data(), pass);
        EXPECT_EQ(paired, plain) << "forward pass " << pass;
        plainInversePass(plain.data(), source.data(), level.data(), n);
        fft.compute_inverse_pass_n_lut(paired.data(), source.data(), pass);
        EXPECT_EQ(paired, plain) << "inverse pass " << pass;

        // The two-at-a-time loop on its own.
        const int32_t m = n / 2;
        std::vector<double> a(kLength, 0.0), b(kLength, 0.0);
        fftreal::forward_butterflies<double>(a.data(), a.data() + n, source.data(),
                                             source.data() + n, source.data() + m,
                                             source.data() + m + n, level.data(), m, n, 1, m);
        fftreal::forward_butterflies(b.data(), b.data() + n, source.data(), source.data() + n,
                                     source.data() + m, source.data() + m + n, level.data(), m, n,
                                     1, m);
        EXPECT_EQ(a, b) << "paired forward steps, pass " << pass;
        fftreal::inverse_butterflies<double>(a.data(), a.data() + n, a.data() + m, a.data() + m + n,
                                             source.data(), source.data() + n, level.data(), m, n,
                                             1, m);
        fftreal::inverse_butterflies(b.data(), b.data() + n, b.data() + m, b.data() + m + n,
                                     source.data(), source.data() + n, level.data(), m, n, 1, m);
        EXPECT_EQ(a, b) << "paired inverse steps, pass " << pass;
    }
}

TEST_P(FFTRealKernels, PassThreeMatchesThePlainLoop) {
    // Pass 3 works on independent groups of eight; a 16-point transform runs the plain loop.
    const std::vector<double> source = ffttest::randomSignal(kLength, 53);
    FFTRealProbe small(16, tier()), large(kLength, tier());
    std::vector<double> plain(kLength), whole(kLength);
    for (bool inverse : {false, true}) {
        for (int32_t j = 0; j < kLength; j += 16) {
            if (inverse)
                small.compute_inverse_pass_3(plain.data() + j, source.data() + j);
            else
                small.compute_direct_pass_3(plain.data() + j, source.data() + j);
        }
        if (inverse)
            large.compute_inverse_pass_3(whole.data(), source.data());
        else
            large.compute_direct_pass_3(whole.data(), source.data());
        EXPECT_EQ(whole, plain) << (inverse ? "inverse" : "forward");
    }
}
