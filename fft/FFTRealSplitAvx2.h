// The sweeps of the split route through a convolution (see FFTReal::forward_half_block) for
// processors with AVX2 and FMA: the last forward pass, the product with a filter spectrum and the
// first inverse pass in one sweep, and the sink through which the last inverse sweep adds its
// samples into the caller's array.
//
// The last forward pass (block size n = N / 2, one block) produces at step i the bins i and n - i,
// and the first inverse pass reads exactly these at its own step i. So the product needs no
// reordering of the signal's bins; the filter spectrum is stored once in the order in which the
// sweep reads it (order_for_middle), four bins and their mirrors at a time.
#pragma once

#include "fft/FFTRealAvx2.h"

#include <cstdint>

#if defined(FFTREAL_AVX2_SWEEPS)

#include <immintrin.h>

#define FFTREAL_AVX2 __attribute__((target("avx2,fma")))

namespace fftreal {

namespace avx2 {

// a b, kept apart from the sum it goes into: the compiler would otherwise fuse the two into a
// multiply-add, which rounds once instead of twice and so gives another last bit than the product
// of the plain route.
FFTREAL_AVX2 inline __m256d product(__m256d a, __m256d b) {
    __m256d p = _mm256_mul_pd(a, b);
    asm("" : "+x"(p));
    return p;
}
FFTREAL_AVX2 inline double product(double a, double b) {
    double p = a * b;
    asm("" : "+x"(p));
    return p;
}

// Length of a filter spectrum stored for the middle sweep: the four real values of steps 0 and m
// first, then 16 values for each group of four steps.
constexpr int32_t ordered_spectrum_length(int32_t length) {
    return length + 4;
}

// h (half-complex, N = 2n values) in the order the middle sweep reads it: h[0], h[n], h[m],
// h[n + m], then for each lane group i: h[i ..], h[n + i ..], h[n - i] downwards, h[2n - i]
// downwards, four values each.
inline void order_for_middle(double* ordered, const double* h, int32_t length) {
    const int32_t n = length >> 1, m = n >> 1;
    ordered[0] = h[0];
    ordered[1] = h[n];
    ordered[2] = h[m];
    ordered[3] = h[n + m];
    double* group = ordered + 4;
    const auto put = [&](int32_t i) {
        for (int32_t k = 0; k < 4; ++k) {
            group[k] = h[i + k];
            group[4 + k] = h[n + i + k];
            group[8 + k] = h[n - i - k];
            group[12 + k] = h[2 * n - i - k];
        }
        group += 16;
    };
    // The lane groups of for_lane_groups.
    int32_t i = 1;
    for (; i + 4 <= m; i += 4)
        put(i);
    if (i < m) put(m - 4);
}

// One term of the product: a signal after all forward passes but the last (s) and its filter
// spectrum in the middle's order (h).
struct MiddleTerm {
    const double* s;
    const double* h;
};

// The bins of step i of the last forward pass of one term: real and imaginary parts of bins
// i + k (low) and n - i - k (high).
struct StepBins {
    __m256d re_low, im_low, re_high, im_high;
};

FFTREAL_AVX2 inline StepBins forward_step(const double* s, const double* cos_ptr, int32_t n,
                                          int32_t i) {
    const int32_t m = n >> 1;
    const __m256d c = load(cos_ptr + i), sn = load_down(cos_ptr, m - i);
    const __m256d x2r = load(s + n + i), x2i = load(s + n + m + i);
    const __m256d x1r = load(s + i), x1i = load(s + m + i);
    const __m256d v = fmsub(x2r, c, mul(x2i, sn));
    const __m256d w = fmadd(x2r, sn, mul(x2i, c));
    return {add(x1r, v), add(w, x1i), sub(x1r, v), sub(w, x1i)};
}

// Real and imaginary part of the complex product of bins x and h.
FFTREAL_AVX2 inline void complex_product(__m256d& re, __m256d& im, __m256d xr, __m256d xi,
                                         __m256d hr, __m256d hi) {
    re = sub(product(hr, xr), product(hi, xi));
    im = add(product(hr, xi), product(hi, xr));
}

// The middle sweep: for each term the last forward pass of s (N = 2n values, pass block size n,
// cos_ptr its table level), the products of the terms' bins with their filters, summed, times
// scale, and the first inverse pass of that spectrum into y.
template <int32_t terms>
FFTREAL_AVX2 inline void fused_middle(double* y, const MiddleTerm (&term)[terms],
                                      const double* cos_ptr, double scale, int32_t length) {
    const int32_t n = length >> 1, m = n >> 1;
    {
        // Steps 0 and m: DC and Nyquist are real, bin m is complex.
        double dc = 0, nyquist = 0, re = 0, im = 0;
        for (int32_t t = 0; t < terms; ++t) {
            const double* s = term[t].s;
            const double* h = term[t].h;
            const double x_dc = s[0] + s[n], x_nyquist = s[0] - s[n];
            const double xr = s[m], xi = s[n + m];
            const double p_dc = product(h[0], x_dc), p_nyquist = product(h[1], x_nyquist);
            const double p_re = product(h[2], xr) - product(h[3], xi);
            const double p_im = product(h[2], xi) + product(h[3], xr);
            if (t == 0) {
                dc = p_dc, nyquist = p_nyquist, re = p_re, im = p_im;
            } else {
                dc += p_dc, nyquist += p_nyquist, re += p_re, im += p_im;
            }
        }
        dc *= scale, nyquist *= scale, re *= scale, im *= scale;
        y[0] = dc + nyquist;
        y[n] = dc - nyquist;
        y[m] = re * 2;
        y[n + m] = im * 2;
    }
    const __m256d scales = _mm256_set1_pd(scale);
    int32_t group = 0;
    for_lane_groups(m, [&](int32_t i) FFTREAL_AVX2 {
        __m256d r = _mm256_setzero_pd(), r_mirror = r, im = r, im_mirror = r;
        for (int32_t t = 0; t < terms; ++t) {
            const StepBins x = forward_step(term[t].s, cos_ptr, n, i);
            const double* h = term[t].h + 4 + 16 * group;
            __m256d low_re, low_im, high_re, high_im;
            complex_product(low_re, low_im, x.re_low, x.im_low, load(h), load(h + 4));
            complex_product(high_re, high_im, x.re_high, x.im_high, load(h + 8), load(h + 12));
            if (t == 0) {
                r = low_re, im = low_im, r_mirror = high_re, im_mirror = high_im;
            } else {
                r = add(r, low_re), im = add(im, low_im);
                r_mirror = add(r_mirror, high_re), im_mirror = add(im_mirror, high_im);
            }
        }
        r = mul(r, scales), im = mul(im, scales);
        r_mirror = mul(r_mirror, scales), im_mirror = mul(im_mirror, scales);
        // The first inverse pass at step i.
        const __m256d c = load(cos_ptr + i), sn = load_down(cos_ptr, m - i);
        store(y + i, add(r, r_mirror));
        store(y + m + i, sub(im, im_mirror));
        const __m256d vr = sub(r, r_mirror), vi = add(im, im_mirror);
        store(y + n + i, fmadd(vr, c, mul(vi, sn)));
        store(y + n + m + i, fmsub(vi, c, mul(vr, sn)));
        ++group;
    });
}

// The last inverse sweep's sink for x[i] = x[i] + sample i for i < overlap and x[i] = sample i +
// 0.0 for overlap <= i < count (as if x held zeros there: a negative zero turns into a positive
// one); samples from count on are dropped.
struct AddSamples {
    double* x;
    int32_t overlap, count;

    FFTREAL_AVX2 void operator()(int32_t i, __m256d v) const {
        if (i + 4 <= overlap) {
            store(x + i, add(load(x + i), v));
        } else if (i >= overlap && i + 4 <= count) {
            store(x + i, add(v, _mm256_setzero_pd()));
        } else if (i < count) {
            alignas(32) double lanes[4];
            _mm256_store_pd(lanes, v);
            for (int32_t k = 0; k < 4 && i + k < count; ++k)
                x[i + k] = (i + k < overlap ? x[i + k] : 0.0) + lanes[k];
        }
    }
};

} // namespace avx2
} // namespace fftreal

#undef FFTREAL_AVX2

#endif
