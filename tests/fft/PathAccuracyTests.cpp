// Whichever loops a processor runs (AVX2 and FMA sweeps, one SSE2 stage per pass, or the
// plain loops), the transforms stay within a few units in the last place of the spectrum's peak
// of a transform summed exactly.
#include "tests/fft/FFTRealProbe.h"
#include "tests/fft/Signals.h"
#include "tests/support/EachVectorTier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The spacing of doubles at the largest magnitude of v.
double ulpOfPeak(const std::vector<double>& v) {
    const double peak = ffttest::maxAbs(v);
    return std::nextafter(peak, 2 * peak) - peak;
}

void expectAccurate(bool perPass, fftreal::VectorTier tier) {
    for (int32_t n : {64, 128, 2048}) {
        FFTRealProbe fft(n, tier);
        const std::vector<double> x = ffttest::randomSignal(n, 60 + n);
        std::vector<double> f(static_cast<size_t>(n)), y(static_cast<size_t>(n));
        if (perPass)
            fft.compute_fft_passes(f.data(), x.data());
        else
            fft.forward_transform(f.data(), x.data());
        const std::vector<double> spectrum = ffttest::directSpectrum(x);
        EXPECT_LE(ffttest::maxDifference(f, spectrum), 4 * ulpOfPeak(spectrum))
            << "forward, length " << n;

        const std::vector<double> g = ffttest::randomSignal(n, 90 + n);
        if (perPass)
            fft.compute_ifft_passes(g.data(), y.data());
        else
            fft.inverse_transform(g.data(), y.data());
        const std::vector<double> signal = ffttest::directInverse(g);
        EXPECT_LE(ffttest::maxDifference(y, signal), 4 * ulpOfPeak(signal))
            << "inverse, length " << n;
    }
}

} // namespace

ON_EACH_VECTOR_TIER(FFTRealAccuracy);

TEST_P(FFTRealAccuracy, TransformsAreWithinFourUlpsOfThePeak) {
    expectAccurate(false, tier());
}

TEST_P(FFTRealAccuracy, OneStagePerPassIsWithinFourUlpsOfThePeak) {
    expectAccurate(true, tier());
}
