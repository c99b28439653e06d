// Sweeps of the transform of doubles for processors with AVX2 and FMA, four lanes at a time.
// Each sweep computes one or more consecutive radix-2 passes while the values stay in registers,
// so that the data goes through memory once per sweep instead of once per pass; every butterfly
// keeps the arithmetic of its pass, with fused multiply-adds where a product meets a sum.
//
// The sweeps of a forward transform of N >= 64 values:
//  - the first: passes 1 and 2 (reading x through the bit-reversal table), pass 3 and table
//    pass 3, on blocks of 16 values, four blocks at a time (lane k works on block k);
//  - table passes two at a time (p and p + 1, blocks of 4n with n = 2^p), and the widest one on
//    its own when their number is odd.
// The inverse transform runs the mirror images in the opposite order.
#pragma once

#include "fft/VectorTier.h"

#include <cstdint>

#if defined(FFTREAL_AVX2_SWEEPS)

#include <immintrin.h>

#define FFTREAL_AVX2 __attribute__((target("avx2,fma")))

namespace fftreal {

namespace avx2 {

// Lanes in the opposite order.
FFTREAL_AVX2 inline __m256d reversed(__m256d v) {
    return _mm256_permute4x64_pd(v, 0x1B);
}
FFTREAL_AVX2 inline __m256d load(const double* p) {
    return _mm256_loadu_pd(p);
}
// {p[i], p[i - 1], p[i - 2], p[i - 3]}
FFTREAL_AVX2 inline __m256d load_down(const double* p, int32_t i) {
    return reversed(_mm256_loadu_pd(p + i - 3));
}
FFTREAL_AVX2 inline void store(double* p, __m256d v) {
    _mm256_storeu_pd(p, v);
}
// p[i] = v[0], p[i - 1] = v[1], ...
FFTREAL_AVX2 inline void store_down(double* p, int32_t i, __m256d v) {
    _mm256_storeu_pd(p + i - 3, reversed(v));
}
FFTREAL_AVX2 inline __m256d add(__m256d a, __m256d b) {
    return _mm256_add_pd(a, b);
}
FFTREAL_AVX2 inline __m256d sub(__m256d a, __m256d b) {
    return _mm256_sub_pd(a, b);
}
FFTREAL_AVX2 inline __m256d mul(__m256d a, __m256d b) {
    return _mm256_mul_pd(a, b);
}
// a b + c
FFTREAL_AVX2 inline __m256d fmadd(__m256d a, __m256d b, __m256d c) {
    return _mm256_fmadd_pd(a, b, c);
}
// a b - c
FFTREAL_AVX2 inline __m256d fmsub(__m256d a, __m256d b, __m256d c) {
    return _mm256_fmsub_pd(a, b, c);
}

// Rows a..d become columns: lane k of each result holds row k.
FFTREAL_AVX2 inline void transpose4(__m256d& a, __m256d& b, __m256d& c, __m256d& d) {
    const __m256d t0 = _mm256_unpacklo_pd(a, b);
    const __m256d t1 = _mm256_unpackhi_pd(a, b);
    const __m256d t2 = _mm256_unpacklo_pd(c, d);
    const __m256d t3 = _mm256_unpackhi_pd(c, d);
    a = _mm256_permute2f128_pd(t0, t2, 0x20);
    b = _mm256_permute2f128_pd(t1, t3, 0x20);
    c = _mm256_permute2f128_pd(t0, t2, 0x31);
    d = _mm256_permute2f128_pd(t1, t3, 0x31);
}

// The steps i of a table pass that run four lanes at a time: 1..4, 5..8, ... and a last group
// ending at m - 1, which may repeat steps of the one before (the repeats write the same values
// again). Needs m >= 8.
template <class Step> FFTREAL_AVX2 inline void for_lane_groups(int32_t m, Step step) {
    int32_t i = 1;
    for (; i + 4 <= m; i += 4)
        step(i);
    if (i < m) step(m - 4);
}

// The first forward sweep, N >= 64: blocks of 16 from x in bit-reversed order through passes 1
// and 2, pass 3 and table pass 3 (cos3: the 4 entries of that table level). With
// second_half_zero, x[N/2 ..] is not read but taken as +0.0: the sums with it are still formed,
// so that a negative zero in x turns into a positive one as it would, and the differences, which
// keep x's values as they are, are left out.
template <bool second_half_zero = false>
FFTREAL_AVX2 inline void forward_first_sweep(double* df, const double* x, const int32_t* bit_rev,
                                             const double* cos3, int32_t length) {
    const int32_t half = length >> 1, quarter = length >> 2;
    const int32_t eighth = length >> 3, sixteenth = length >> 4;
    const int32_t group_offset[4] = {0, eighth, sixteenth, eighth + sixteenth};
    const __m256d h = _mm256_set1_pd(cos3[2]);
    const __m256d c1 = _mm256_set1_pd(cos3[1]), c2 = h, c3 = _mm256_set1_pd(cos3[3]);
    for (int32_t r = 0; r < sixteenth; r += 4) {
        __m256d g[16];
        for (int32_t q = 0; q < 4; ++q) {
            const double* p = x + r + group_offset[q];
            const __m256d x0 = load(p), x2 = load(p + quarter);
            if constexpr (second_half_zero) {
                const __m256d zero = _mm256_setzero_pd();
                const __m256d a0 = add(x0, zero), a2 = add(x2, zero);
                g[4 * q] = add(a0, a2);
                g[4 * q + 1] = x0;
                g[4 * q + 2] = sub(a0, a2);
                g[4 * q + 3] = x2;
            } else {
                const __m256d x1 = load(p + half), x3 = load(p + quarter + half);
                const __m256d a0 = add(x0, x1), a2 = add(x2, x3);
                g[4 * q] = add(a0, a2);
                g[4 * q + 1] = sub(x0, x1);
                g[4 * q + 2] = sub(a0, a2);
                g[4 * q + 3] = sub(x2, x3);
            }
        }
        __m256d t[16];
        for (int32_t j = 0; j < 16; j += 8) {
            t[j] = add(g[j], g[j + 4]);
            t[j + 4] = sub(g[j], g[j + 4]);
            t[j + 2] = g[j + 2];
            t[j + 6] = g[j + 6];
            const __m256d v = sub(g[j + 5], g[j + 7]);
            t[j + 1] = fmadd(v, h, g[j + 1]);
            t[j + 3] = _mm256_fnmadd_pd(v, h, g[j + 1]);
            const __m256d w = add(g[j + 5], g[j + 7]);
            t[j + 5] = fmadd(w, h, g[j + 3]);
            t[j + 7] = fmsub(w, h, g[j + 3]);
        }
        __m256d o[16];
        o[0] = add(t[0], t[8]);
        o[8] = sub(t[0], t[8]);
        o[4] = t[4];
        o[12] = t[12];
        const __m256d cs[4] = {c1, c1, c2, c3}; // cs[i] = cos(i pi / 8), sin = cs[4 - i]
        for (int32_t i = 1; i < 4; ++i) {
            const __m256d c = cs[i], s = cs[4 - i];
            const __m256d v = fmsub(t[8 + i], c, mul(t[12 + i], s));
            const __m256d w = fmadd(t[8 + i], s, mul(t[12 + i], c));
            o[i] = add(t[i], v);
            o[8 - i] = sub(t[i], v);
            o[8 + i] = add(w, t[4 + i]);
            o[16 - i] = sub(w, t[4 + i]);
        }
        double* const block[4] = {df + bit_rev[r], df + bit_rev[r + 1], df + bit_rev[r + 2],
                                  df + bit_rev[r + 3]};
        for (int32_t k = 0; k < 16; k += 4) {
            transpose4(o[k], o[k + 1], o[k + 2], o[k + 3]);
            for (int32_t lane = 0; lane < 4; ++lane)
                store(block[lane] + k, o[k + lane]);
        }
    }
}

// Where the last inverse sweep puts its results: x[i .. i + 3] = v.
struct StoreSamples {
    double* x;
    FFTREAL_AVX2 void operator()(int32_t i, __m256d v) const { store(x + i, v); }
};

// The last inverse sweep, the mirror image of the first forward one: table pass 3, pass 3 and
// passes 2 and 1, handing out the samples of x in groups of four (Out: as StoreSamples).
template <class Out = StoreSamples>
FFTREAL_AVX2 inline void inverse_last_sweep(Out out, const double* sf, const int32_t* bit_rev,
                                            const double* cos3, int32_t length) {
    const int32_t half = length >> 1, quarter = length >> 2;
    const int32_t eighth = length >> 3, sixteenth = length >> 4;
    const int32_t group_offset[4] = {0, eighth, sixteenth, eighth + sixteenth};
    const __m256d h = _mm256_set1_pd(cos3[2]);
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d c1 = _mm256_set1_pd(cos3[1]), c2 = h, c3 = _mm256_set1_pd(cos3[3]);
    for (int32_t r = 0; r < sixteenth; r += 4) {
        const double* const block[4] = {sf + bit_rev[r], sf + bit_rev[r + 1], sf + bit_rev[r + 2],
                                        sf + bit_rev[r + 3]};
        __m256d o[16];
        for (int32_t k = 0; k < 16; k += 4) {
            for (int32_t lane = 0; lane < 4; ++lane)
                o[k + lane] = load(block[lane] + k);
            transpose4(o[k], o[k + 1], o[k + 2], o[k + 3]);
        }
        __m256d t[16];
        t[0] = add(o[0], o[8]);
        t[8] = sub(o[0], o[8]);
        t[4] = mul(o[4], two);
        t[12] = mul(o[12], two);
        const __m256d cs[4] = {c1, c1, c2, c3};
        for (int32_t i = 1; i < 4; ++i) {
            const __m256d c = cs[i], s = cs[4 - i];
            t[i] = add(o[i], o[8 - i]);
            t[4 + i] = sub(o[8 + i], o[16 - i]);
            const __m256d vr = sub(o[i], o[8 - i]);
            const __m256d vi = add(o[8 + i], o[16 - i]);
            t[8 + i] = fmadd(vr, c, mul(vi, s));
            t[12 + i] = fmsub(vi, c, mul(vr, s));
        }
        __m256d g[16];
        for (int32_t j = 0; j < 16; j += 8) {
            g[j] = add(t[j], t[j + 4]);
            g[j + 4] = sub(t[j], t[j + 4]);
            g[j + 2] = mul(t[j + 2], two);
            g[j + 6] = mul(t[j + 6], two);
            g[j + 1] = add(t[j + 1], t[j + 3]);
            g[j + 3] = sub(t[j + 5], t[j + 7]);
            const __m256d vr = sub(t[j + 1], t[j + 3]);
            const __m256d vi = add(t[j + 5], t[j + 7]);
            g[j + 5] = mul(add(vr, vi), h);
            g[j + 7] = mul(sub(vi, vr), h);
        }
        for (int32_t q = 0; q < 4; ++q) {
            const int32_t p = r + group_offset[q];
            const __m256d b0 = add(g[4 * q], g[4 * q + 2]);
            const __m256d b2 = sub(g[4 * q], g[4 * q + 2]);
            const __m256d b1 = mul(g[4 * q + 1], two);
            const __m256d b3 = mul(g[4 * q + 3], two);
            out(p, add(b0, b1));
            out(p + half, sub(b0, b1));
            out(p + quarter, add(b2, b3));
            out(p + quarter + half, sub(b2, b3));
        }
    }
}

// One forward table pass of block size n (m = n / 2 >= 8), cos_ptr its table level.
FFTREAL_AVX2 inline void forward_pass(double* df, const double* sf, const double* cos_ptr,
                                      int32_t n, int32_t length) {
    const int32_t m = n >> 1;
    for (int32_t b = 0; b < length; b += n << 1) {
        const double* const s1r = sf + b;
        const double* const s2r = s1r + n;
        const double* const s1i = s1r + m;
        const double* const s2i = s1i + n;
        double* const dr = df + b;
        double* const di = dr + n;
        dr[0] = s1r[0] + s2r[0];
        di[0] = s1r[0] - s2r[0];
        dr[m] = s1r[m];
        di[m] = s2r[m];
        for_lane_groups(m, [&](int32_t i) FFTREAL_AVX2 {
            const __m256d c = load(cos_ptr + i), s = load_down(cos_ptr, m - i);
            const __m256d x2r = load(s2r + i), x2i = load(s2i + i);
            const __m256d x1r = load(s1r + i), x1i = load(s1i + i);
            const __m256d v = fmsub(x2r, c, mul(x2i, s));
            const __m256d w = fmadd(x2r, s, mul(x2i, c));
            store(dr + i, add(x1r, v));
            store_down(dr, n - i, sub(x1r, v));
            store(di + i, add(w, x1i));
            store_down(di, n - i, sub(w, x1i));
        });
    }
}

// One inverse table pass of block size n (m = n / 2 >= 8).
FFTREAL_AVX2 inline void inverse_pass(double* df, const double* sf, const double* cos_ptr,
                                      int32_t n, int32_t length) {
    const int32_t m = n >> 1;
    for (int32_t b = 0; b < length; b += n << 1) {
        const double* const sr = sf + b;
        const double* const si = sr + n;
        double* const d1r = df + b;
        double* const d2r = d1r + n;
        double* const d1i = d1r + m;
        double* const d2i = d1i + n;
        d1r[0] = sr[0] + si[0];
        d2r[0] = sr[0] - si[0];
        d1r[m] = sr[m] * 2;
        d2r[m] = si[m] * 2;
        for_lane_groups(m, [&](int32_t i) FFTREAL_AVX2 {
            const __m256d r = load(sr + i), r_mirror = load_down(sr, n - i);
            const __m256d im = load(si + i), im_mirror = load_down(si, n - i);
            const __m256d c = load(cos_ptr + i), s = load_down(cos_ptr, m - i);
            store(d1r + i, add(r, r_mirror));
            store(d1i + i, sub(im, im_mirror));
            const __m256d vr = sub(r, r_mirror), vi = add(im, im_mirror);
            store(d2r + i, fmadd(vr, c, mul(vi, s)));
            store(d2i + i, fmsub(vi, c, mul(vr, s)));
        });
    }
}

// Forward table passes p and p + 1 in one sweep: n = 2^p (m = n / 2 >= 8), cos_p and cos_q the
// table levels p and p + 1. Each block of 4n holds two blocks of pass p; the pass-p butterflies
// at step i give pass p + 1 everything its butterflies at steps i and n - i need.
FFTREAL_AVX2 inline void forward_pass_pair(double* df, const double* sf, const double* cos_p,
                                           const double* cos_q, int32_t n, int32_t length) {
    const int32_t m = n >> 1;
    const int32_t n2 = n << 1;
    for (int32_t b = 0; b < length; b += n << 2) {
        const double* const s = sf + b;
        double* const d = df + b;
        // Steps 0 and m of pass p in both blocks, then steps 0, m and n of pass p + 1.
        const double p0 = s[0] + s[n], pn = s[0] - s[n], pm = s[m], pnm = s[n + m];
        const double q0 = s[n2] + s[n2 + n], qn = s[n2] - s[n2 + n];
        const double qm = s[n2 + m], qnm = s[n2 + n + m];
        d[0] = p0 + q0;
        d[n2] = p0 - q0;
        d[n] = pn;
        d[n2 + n] = qn;
        {
            const double c = cos_q[m], sn = cos_q[n - m];
            const double v = qm * c - qnm * sn;
            const double w = qm * sn + qnm * c;
            d[m] = pm + v;
            d[n2 - m] = pm - v;
            d[n2 + m] = w + pnm;
            d[2 * n2 - m] = w - pnm;
        }
        for_lane_groups(m, [&](int32_t i) FFTREAL_AVX2 {
            // Pass p, both blocks.
            const __m256d c = load(cos_p + i), sn = load_down(cos_p, m - i);
            __m256d a_i, a_ni, b_i, b_ni, e_i, e_ni, f_i, f_ni;
            {
                const __m256d x1r = load(s + i), x2r = load(s + n + i);
                const __m256d x1i = load(s + m + i), x2i = load(s + n + m + i);
                const __m256d v = fmsub(x2r, c, mul(x2i, sn));
                const __m256d w = fmadd(x2r, sn, mul(x2i, c));
                a_i = add(x1r, v);  // position i
                a_ni = sub(x1r, v); // n - i
                b_i = add(w, x1i);  // n + i
                b_ni = sub(w, x1i); // 2n - i
            }
            {
                const double* t = s + n2;
                const __m256d x1r = load(t + i), x2r = load(t + n + i);
                const __m256d x1i = load(t + m + i), x2i = load(t + n + m + i);
                const __m256d v = fmsub(x2r, c, mul(x2i, sn));
                const __m256d w = fmadd(x2r, sn, mul(x2i, c));
                e_i = add(x1r, v);
                e_ni = sub(x1r, v);
                f_i = add(w, x1i);
                f_ni = sub(w, x1i);
            }
            // Pass p + 1 at step i: cos and sin of i pi / 2n.
            const __m256d c2 = load(cos_q + i), s2 = load_down(cos_q, n - i);
            {
                const __m256d v = fmsub(e_i, c2, mul(f_i, s2));
                const __m256d w = fmadd(e_i, s2, mul(f_i, c2));
                store(d + i, add(a_i, v));
                store_down(d, n2 - i, sub(a_i, v));
                store(d + n2 + i, add(w, b_i));
                store_down(d, 2 * n2 - i, sub(w, b_i));
            }
            // Pass p + 1 at step n - i: its cos is the sin of step i and its sin the cos.
            {
                const __m256d v = fmsub(e_ni, s2, mul(f_ni, c2));
                const __m256d w = fmadd(e_ni, c2, mul(f_ni, s2));
                store_down(d, n - i, add(a_ni, v));
                store(d + n + i, sub(a_ni, v));
                store_down(d, n2 + n - i, add(w, b_ni));
                store(d + n2 + n + i, sub(w, b_ni));
            }
        });
    }
}

// Inverse table passes p + 1 and p in one sweep, the mirror image of forward_pass_pair.
FFTREAL_AVX2 inline void inverse_pass_pair(double* df, const double* sf, const double* cos_p,
                                           const double* cos_q, int32_t n, int32_t length) {
    const int32_t m = n >> 1;
    const int32_t n2 = n << 1;
    for (int32_t b = 0; b < length; b += n << 2) {
        const double* const sr = sf + b;
        const double* const si = sr + n2;
        double* const d = df + b;
        {
            // Steps 0, n and m of pass p + 1, then steps 0 and m of pass p in both blocks.
            const double d1r0 = sr[0] + si[0], d2r0 = sr[0] - si[0];
            const double d1rn = sr[n] * 2, d2rn = si[n] * 2;
            const double c = cos_q[m], sn = cos_q[n - m];
            const double d1rm = sr[m] + sr[n2 - m];
            const double d1im = si[m] - si[n2 - m];
            const double vr = sr[m] - sr[n2 - m];
            const double vi = si[m] + si[n2 - m];
            const double d2rm = vr * c + vi * sn;
            const double d2im = vi * c - vr * sn;
            d[0] = d1r0 + d1rn;
            d[n] = d1r0 - d1rn;
            d[m] = d1rm * 2;
            d[n + m] = d1im * 2;
            d[n2] = d2r0 + d2rn;
            d[n2 + n] = d2r0 - d2rn;
            d[n2 + m] = d2rm * 2;
            d[n2 + n + m] = d2im * 2;
        }
        for_lane_groups(m, [&](int32_t i) FFTREAL_AVX2 {
            const __m256d c2 = load(cos_q + i), s2 = load_down(cos_q, n - i);
            // Pass p + 1 at step i ...
            __m256d x1, y1, x2, y2;
            {
                const __m256d r = load(sr + i), r_mirror = load_down(sr, n2 - i);
                const __m256d im = load(si + i), im_mirror = load_down(si, n2 - i);
                x1 = add(r, r_mirror);
                y1 = sub(im, im_mirror);
                const __m256d vr = sub(r, r_mirror), vi = add(im, im_mirror);
                x2 = fmadd(vr, c2, mul(vi, s2));
                y2 = fmsub(vi, c2, mul(vr, s2));
            }
            // ... and at step n - i, whose cos is the sin of step i and whose sin the cos.
            __m256d z1, w1, z2, w2;
            {
                const __m256d r = load_down(sr, n - i), r_mirror = load(sr + n + i);
                const __m256d im = load_down(si, n - i), im_mirror = load(si + n + i);
                z1 = add(r, r_mirror);
                w1 = sub(im, im_mirror);
                const __m256d vr = sub(r, r_mirror), vi = add(im, im_mirror);
                z2 = fmadd(vr, s2, mul(vi, c2));
                w2 = fmsub(vi, s2, mul(vr, c2));
            }
            // Pass p at step i in both blocks.
            const __m256d c = load(cos_p + i), sn = load_down(cos_p, m - i);
            {
                store(d + i, add(x1, z1));
                store(d + m + i, sub(y1, w1));
                const __m256d vr = sub(x1, z1), vi = add(y1, w1);
                store(d + n + i, fmadd(vr, c, mul(vi, sn)));
                store(d + n + m + i, fmsub(vi, c, mul(vr, sn)));
            }
            {
                double* const e = d + n2;
                store(e + i, add(x2, z2));
                store(e + m + i, sub(y2, w2));
                const __m256d vr = sub(x2, z2), vi = add(y2, w2);
                store(e + n + i, fmadd(vr, c, mul(vi, sn)));
                store(e + n + m + i, fmsub(vi, c, mul(vr, sn)));
            }
        });
    }
}

} // namespace avx2
} // namespace fftreal

#undef FFTREAL_AVX2

#endif
