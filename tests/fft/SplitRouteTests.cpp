// The transforms in parts give the same bits as the whole transforms with the product between
// them, for the block lengths and result lengths a convolver uses.
#include "fft/FFTReal.h"
#include "tests/fft/Signals.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

using Vector = std::vector<double>;

// A block: random first half with negative zeros in it, zero second half.
Vector halfBlock(int32_t length, uint32_t seed) {
    Vector x = ffttest::randomSignal(length, seed);
    for (int32_t i = length / 2; i < length; ++i)
        x[i] = 0.0;
    for (int32_t i = 3; i < length / 2; i += 17)
        x[i] = -0.0;
    for (int32_t i = 40; i < 60; ++i)
        x[i] = 0.0;
    return x;
}

Vector filterSpectrum(FFTReal<double>& fft, int32_t taps, uint32_t seed) {
    const int32_t length = fft.get_length();
    Vector h = ffttest::randomSignal(length, seed);
    for (int32_t i = taps; i < length; ++i)
        h[i] = 0.0;
    Vector spectrum(static_cast<size_t>(length));
    fft.forward_transform(spectrum.data(), h.data());
    return spectrum;
}

// (h x) scale per bin, or the sum of two such products, in the half-complex layout.
Vector product(const Vector& x, const Vector& h, const Vector* x2, const Vector* h2, double scale) {
    const size_t n = x.size() / 2;
    Vector y(x.size());
    for (size_t k : {size_t(0), n}) {
        double sum = h[k] * x[k];
        if (x2) sum += (*h2)[k] * (*x2)[k];
        y[k] = sum * scale;
    }
    for (size_t k = 1; k < n; ++k) {
        double re = h[k] * x[k] - h[n + k] * x[n + k];
        double im = h[k] * x[n + k] + h[n + k] * x[k];
        if (x2) {
            const Vector &b = *x2, &g = *h2;
            re += g[k] * b[k] - g[n + k] * b[n + k];
            im += g[k] * b[n + k] + g[n + k] * b[k];
        }
        y[k] = re * scale;
        y[n + k] = im * scale;
    }
    return y;
}

void expectSameBits(const Vector& expected, const Vector& actual, const char* what) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(0, std::memcmp(&expected[i], &actual[i], sizeof(double)))
            << what << " differs at " << i << ": " << expected[i] << " vs " << actual[i];
}

void checkRoute(int32_t length, int32_t taps, bool twoTerms) {
    FFTReal<double> fft(length);
    if (!fft.has_split_route()) GTEST_SKIP() << "no split route on this processor";
    const double scale = 1.0 / length;
    const int32_t count = length / 2 + taps - 1, overlap = taps - 1;
    const Vector x = halfBlock(length, 1), x2 = halfBlock(length, 2);
    const Vector h = filterSpectrum(fft, taps, 3), h2 = filterSpectrum(fft, taps, 4);
    const Vector target = ffttest::randomSignal(length + 8, 5);

    // The whole transforms.
    Vector f(static_cast<size_t>(length)), f2(f.size()), result(f.size());
    fft.forward_transform(f.data(), x.data());
    fft.forward_transform(f2.data(), x2.data());
    const Vector y = product(f, h, twoTerms ? &f2 : nullptr, twoTerms ? &h2 : nullptr, scale);
    fft.inverse_transform(y.data(), result.data());
    Vector expected = target;
    for (int32_t i = 0; i < count; ++i)
        expected[i] = (i < overlap ? target[i] : 0.0) + result[i];

    // The parts, from blocks whose second half is not there to be read.
    Vector half(x.begin(), x.begin() + length / 2), half2(x2.begin(), x2.begin() + length / 2);
    half.resize(x.size(), std::numeric_limits<double>::quiet_NaN());
    half2.resize(x.size(), std::numeric_limits<double>::quiet_NaN());
    Vector s(f.size()), s2(f.size()), work(f.size()), middle(f.size());
    Vector ordered(static_cast<size_t>(fft.get_ordered_length()));
    Vector ordered2(ordered.size());
    fft.order_for_middle(ordered.data(), h.data());
    fft.order_for_middle(ordered2.data(), h2.data());
    fft.forward_half_block(s.data(), half.data(), work.data());
    if (twoTerms) {
        fft.forward_half_block(s2.data(), half2.data(), work.data());
        fft.multiply_sum_in_middle(middle.data(), s.data(), ordered.data(), s2.data(),
                                   ordered2.data(), scale);
    } else {
        fft.multiply_in_middle(middle.data(), s.data(), ordered.data(), scale);
    }
    Vector actual = target;
    fft.add_inverse_tail(actual.data(), middle.data(), work.data(), count, overlap);
    expectSameBits(expected, actual, "result");
}

TEST(FFTRealSplitRoute, SameBitsAsTheWholeTransformsAndProduct) {
    for (bool twoTerms : {false, true}) {
        SCOPED_TRACE(twoTerms ? "two products summed" : "one product");
        checkRoute(2048, 256, twoTerms);  // the engine at 44.1 kHz: 1279 samples, 255 added
        checkRoute(2048, 1025, twoTerms); // the longest filter: every sample, 1024 added
        checkRoute(2048, 558, twoTerms);  // 96 kHz
        checkRoute(2048, 1, twoTerms);
        checkRoute(512, 100, twoTerms);
        checkRoute(128, 64, twoTerms);
    }
}

} // namespace
