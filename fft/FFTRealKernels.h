// The inner loops of the first forward and the last inverse stage (passes 1 and 2, through the
// bit-reversal table) and of the general passes that take their twiddle factors from the cosine
// table, one stage per pass. For double on SSE2 two neighbouring steps are computed together, and
// on processors with AVX the table passes with m >= 8 compute four at a time; each lane does
// exactly the scalar arithmetic (no fused multiply-add), so these loops agree to the bit. On
// processors with AVX2 and FMA, lengths of 64 and more run the sweeps of FFTRealAvx2.h instead,
// which round differently in the last bits.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// FFTREAL_NO_AVX leaves the AVX passes out, so that the loops processors without AVX run can be
// tested on one that has it.
#if defined(__SSE2__) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) &&       \
    !defined(FFTREAL_NO_AVX)
#include <immintrin.h>
#define FFTREAL_AVX_PASSES 1
#endif

namespace fftreal {

// Forward passes 1 and 2: groups of four taken from x in bit-reversed order.
template <class T>
inline void forward_pass_1_2(T* df, const T* x, const int32_t* bit_rev, int32_t length) {
    for (int32_t j = 0; j < length; j += 4) {
        const int32_t r0 = bit_rev[j];
        const int32_t r1 = bit_rev[j + 1];
        const int32_t r2 = bit_rev[j + 2];
        const int32_t r3 = bit_rev[j + 3];
        df[j + 1] = x[r0] - x[r1];
        df[j + 3] = x[r2] - x[r3];
        const T a0 = x[r0] + x[r1];
        const T a2 = x[r2] + x[r3];
        df[j] = a0 + a2;
        df[j + 2] = a0 - a2;
    }
}

// Inverse passes 2 and 1: groups of four written to x in bit-reversed order.
template <class T>
inline void inverse_pass_1_2(T* x, const T* sf, const int32_t* bit_rev, int32_t length) {
    for (int32_t j = 0; j < length; j += 4) {
        const T b0 = sf[j] + sf[j + 2];
        const T b2 = sf[j] - sf[j + 2];
        const T b1 = sf[j + 1] * 2;
        const T b3 = sf[j + 3] * 2;
        x[bit_rev[j]] = b0 + b1;
        x[bit_rev[j + 1]] = b0 - b1;
        x[bit_rev[j + 2]] = b2 + b3;
        x[bit_rev[j + 3]] = b2 - b3;
    }
}

template <class T>
inline void forward_butterflies(T* dr, T* di, const T* s1r, const T* s2r, const T* s1i,
                                const T* s2i, const T* cos_ptr, int32_t m, int32_t n, int32_t first,
                                int32_t last) {
    for (int32_t i = first; i < last; ++i) {
        const T c = cos_ptr[i];
        const T s = cos_ptr[m - i];
        const T v = s2r[i] * c - s2i[i] * s;
        dr[i] = s1r[i] + v;
        dr[n - i] = s1r[i] - v;
        const T w = s2r[i] * s + s2i[i] * c;
        di[i] = w + s1i[i];
        di[n - i] = w - s1i[i];
    }
}

template <class T>
inline void inverse_butterflies(T* d1r, T* d2r, T* d1i, T* d2i, const T* sr, const T* si,
                                const T* cos_ptr, int32_t m, int32_t n, int32_t first,
                                int32_t last) {
    for (int32_t i = first; i < last; ++i) {
        d1r[i] = sr[i] + sr[n - i];
        d1i[i] = si[i] - si[n - i];
        const T c = cos_ptr[i];
        const T s = cos_ptr[m - i];
        const T vr = sr[i] - sr[n - i];
        const T vi = si[i] + si[n - i];
        d2r[i] = vr * c + vi * s;
        d2i[i] = vi * c - vr * s;
    }
}

#if defined(__SSE2__)

// For j a multiple of 4 the entries j .. j+3 of the bit-reversal table are r, r + N/2, r + N/4
// and r + 3N/4 with r = bit_rev[j], and the r of all groups are exactly 0 .. N/4 - 1, group j
// being bit_rev[r]. Walking r in order lets two groups share each load of x (length >= 8).
inline void forward_pass_1_2(double* df, const double* x, const int32_t* bit_rev, int32_t length) {
    const int32_t quarter = length >> 2;
    const int32_t half = length >> 1;
    for (int32_t r = 0; r < quarter; r += 2) {
        const __m128d x0 = _mm_loadu_pd(x + r);
        const __m128d x1 = _mm_loadu_pd(x + r + half);
        const __m128d x2 = _mm_loadu_pd(x + r + quarter);
        const __m128d x3 = _mm_loadu_pd(x + r + quarter + half);
        const __m128d d1 = _mm_sub_pd(x0, x1);
        const __m128d d3 = _mm_sub_pd(x2, x3);
        const __m128d a0 = _mm_add_pd(x0, x1);
        const __m128d a2 = _mm_add_pd(x2, x3);
        const __m128d d0 = _mm_add_pd(a0, a2);
        const __m128d d2 = _mm_sub_pd(a0, a2);
        double* first = df + bit_rev[r];
        double* second = df + bit_rev[r + 1];
        _mm_storeu_pd(first, _mm_unpacklo_pd(d0, d1));
        _mm_storeu_pd(first + 2, _mm_unpacklo_pd(d2, d3));
        _mm_storeu_pd(second, _mm_unpackhi_pd(d0, d1));
        _mm_storeu_pd(second + 2, _mm_unpackhi_pd(d2, d3));
    }
}

inline void inverse_pass_1_2(double* x, const double* sf, const int32_t* bit_rev, int32_t length) {
    const int32_t quarter = length >> 2;
    const int32_t half = length >> 1;
    const __m128d two = _mm_set1_pd(2.0);
    for (int32_t r = 0; r < quarter; r += 2) {
        const double* first = sf + bit_rev[r];
        const double* second = sf + bit_rev[r + 1];
        const __m128d lo_first = _mm_loadu_pd(first);
        const __m128d hi_first = _mm_loadu_pd(first + 2);
        const __m128d lo_second = _mm_loadu_pd(second);
        const __m128d hi_second = _mm_loadu_pd(second + 2);
        const __m128d s0 = _mm_unpacklo_pd(lo_first, lo_second);
        const __m128d s1 = _mm_unpackhi_pd(lo_first, lo_second);
        const __m128d s2 = _mm_unpacklo_pd(hi_first, hi_second);
        const __m128d s3 = _mm_unpackhi_pd(hi_first, hi_second);
        const __m128d b0 = _mm_add_pd(s0, s2);
        const __m128d b2 = _mm_sub_pd(s0, s2);
        const __m128d b1 = _mm_mul_pd(s1, two);
        const __m128d b3 = _mm_mul_pd(s3, two);
        _mm_storeu_pd(x + r, _mm_add_pd(b0, b1));
        _mm_storeu_pd(x + r + half, _mm_sub_pd(b0, b1));
        _mm_storeu_pd(x + r + quarter, _mm_add_pd(b2, b3));
        _mm_storeu_pd(x + r + quarter + half, _mm_sub_pd(b2, b3));
    }
}

// The pair at i - 1 and i, swapped: {p[i], p[i - 1]}.
inline __m128d load_reversed(const double* p, int32_t i) {
    const __m128d v = _mm_loadu_pd(p + i - 1);
    return _mm_shuffle_pd(v, v, 1);
}

inline void store_reversed(double* p, int32_t i, __m128d v) {
    _mm_storeu_pd(p + i - 1, _mm_shuffle_pd(v, v, 1));
}

inline void forward_butterflies(double* dr, double* di, const double* s1r, const double* s2r,
                                const double* s1i, const double* s2i, const double* cos_ptr,
                                int32_t m, int32_t n, int32_t first, int32_t last) {
    // An odd count starts with one scalar step.
    int32_t i = first;
    if (((last - i) & 1) != 0) {
        forward_butterflies<double>(dr, di, s1r, s2r, s1i, s2i, cos_ptr, m, n, i, i + 1);
        ++i;
    }
    for (; i < last; i += 2) {
        const __m128d c = _mm_loadu_pd(cos_ptr + i);
        const __m128d s = load_reversed(cos_ptr, m - i);
        const __m128d x2r = _mm_loadu_pd(s2r + i);
        const __m128d x2i = _mm_loadu_pd(s2i + i);
        const __m128d x1r = _mm_loadu_pd(s1r + i);
        const __m128d x1i = _mm_loadu_pd(s1i + i);
        const __m128d v = _mm_sub_pd(_mm_mul_pd(x2r, c), _mm_mul_pd(x2i, s));
        _mm_storeu_pd(dr + i, _mm_add_pd(x1r, v));
        store_reversed(dr, n - i, _mm_sub_pd(x1r, v));
        const __m128d w = _mm_add_pd(_mm_mul_pd(x2r, s), _mm_mul_pd(x2i, c));
        _mm_storeu_pd(di + i, _mm_add_pd(w, x1i));
        store_reversed(di, n - i, _mm_sub_pd(w, x1i));
    }
}

inline void inverse_butterflies(double* d1r, double* d2r, double* d1i, double* d2i,
                                const double* sr, const double* si, const double* cos_ptr,
                                int32_t m, int32_t n, int32_t first, int32_t last) {
    int32_t i = first;
    if (((last - i) & 1) != 0) {
        inverse_butterflies<double>(d1r, d2r, d1i, d2i, sr, si, cos_ptr, m, n, i, i + 1);
        ++i;
    }
    for (; i < last; i += 2) {
        const __m128d r = _mm_loadu_pd(sr + i);
        const __m128d r_mirror = load_reversed(sr, n - i);
        const __m128d im = _mm_loadu_pd(si + i);
        const __m128d im_mirror = load_reversed(si, n - i);
        _mm_storeu_pd(d1r + i, _mm_add_pd(r, r_mirror));
        _mm_storeu_pd(d1i + i, _mm_sub_pd(im, im_mirror));
        const __m128d c = _mm_loadu_pd(cos_ptr + i);
        const __m128d s = load_reversed(cos_ptr, m - i);
        const __m128d vr = _mm_sub_pd(r, r_mirror);
        const __m128d vi = _mm_add_pd(im, im_mirror);
        _mm_storeu_pd(d2r + i, _mm_add_pd(_mm_mul_pd(vr, c), _mm_mul_pd(vi, s)));
        _mm_storeu_pd(d2i + i, _mm_sub_pd(_mm_mul_pd(vi, c), _mm_mul_pd(vr, s)));
    }
}

#endif

#if defined(FFTREAL_AVX_PASSES)

inline bool avx_available() {
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return available;
}

// {p[i], p[i - 1], p[i - 2], p[i - 3]}
__attribute__((target("avx"))) inline __m256d load_reversed4(const double* p, int32_t i) {
    const __m256d v = _mm256_loadu_pd(p + i - 3);
    return _mm256_permute_pd(_mm256_permute2f128_pd(v, v, 1), 0x5);
}

__attribute__((target("avx"))) inline void store_reversed4(double* p, int32_t i, __m256d v) {
    _mm256_storeu_pd(p + i - 3, _mm256_permute_pd(_mm256_permute2f128_pd(v, v, 1), 0x5));
}

// Passes 1 and 2 four groups at a time (length >= 16), with 4 x 4 transposes between the
// groups' lanes and their rows.
__attribute__((target("avx"))) inline void
forward_pass_1_2_avx(double* df, const double* x, const int32_t* bit_rev, int32_t length) {
    const int32_t quarter = length >> 2;
    const int32_t half = length >> 1;
    for (int32_t r = 0; r < quarter; r += 4) {
        const __m256d x0 = _mm256_loadu_pd(x + r);
        const __m256d x1 = _mm256_loadu_pd(x + r + half);
        const __m256d x2 = _mm256_loadu_pd(x + r + quarter);
        const __m256d x3 = _mm256_loadu_pd(x + r + quarter + half);
        const __m256d d1 = _mm256_sub_pd(x0, x1);
        const __m256d d3 = _mm256_sub_pd(x2, x3);
        const __m256d a0 = _mm256_add_pd(x0, x1);
        const __m256d a2 = _mm256_add_pd(x2, x3);
        const __m256d d0 = _mm256_add_pd(a0, a2);
        const __m256d d2 = _mm256_sub_pd(a0, a2);
        const __m256d t0 = _mm256_unpacklo_pd(d0, d1);
        const __m256d t1 = _mm256_unpackhi_pd(d0, d1);
        const __m256d t2 = _mm256_unpacklo_pd(d2, d3);
        const __m256d t3 = _mm256_unpackhi_pd(d2, d3);
        _mm256_storeu_pd(df + bit_rev[r], _mm256_permute2f128_pd(t0, t2, 0x20));
        _mm256_storeu_pd(df + bit_rev[r + 1], _mm256_permute2f128_pd(t1, t3, 0x20));
        _mm256_storeu_pd(df + bit_rev[r + 2], _mm256_permute2f128_pd(t0, t2, 0x31));
        _mm256_storeu_pd(df + bit_rev[r + 3], _mm256_permute2f128_pd(t1, t3, 0x31));
    }
}

__attribute__((target("avx"))) inline void
inverse_pass_1_2_avx(double* x, const double* sf, const int32_t* bit_rev, int32_t length) {
    const int32_t quarter = length >> 2;
    const int32_t half = length >> 1;
    const __m256d two = _mm256_set1_pd(2.0);
    for (int32_t r = 0; r < quarter; r += 4) {
        const __m256d row0 = _mm256_loadu_pd(sf + bit_rev[r]);
        const __m256d row1 = _mm256_loadu_pd(sf + bit_rev[r + 1]);
        const __m256d row2 = _mm256_loadu_pd(sf + bit_rev[r + 2]);
        const __m256d row3 = _mm256_loadu_pd(sf + bit_rev[r + 3]);
        const __m256d t0 = _mm256_unpacklo_pd(row0, row1);
        const __m256d t1 = _mm256_unpackhi_pd(row0, row1);
        const __m256d t2 = _mm256_unpacklo_pd(row2, row3);
        const __m256d t3 = _mm256_unpackhi_pd(row2, row3);
        const __m256d s0 = _mm256_permute2f128_pd(t0, t2, 0x20);
        const __m256d s1 = _mm256_permute2f128_pd(t1, t3, 0x20);
        const __m256d s2 = _mm256_permute2f128_pd(t0, t2, 0x31);
        const __m256d s3 = _mm256_permute2f128_pd(t1, t3, 0x31);
        const __m256d b0 = _mm256_add_pd(s0, s2);
        const __m256d b2 = _mm256_sub_pd(s0, s2);
        const __m256d b1 = _mm256_mul_pd(s1, two);
        const __m256d b3 = _mm256_mul_pd(s3, two);
        _mm256_storeu_pd(x + r, _mm256_add_pd(b0, b1));
        _mm256_storeu_pd(x + r + half, _mm256_sub_pd(b0, b1));
        _mm256_storeu_pd(x + r + quarter, _mm256_add_pd(b2, b3));
        _mm256_storeu_pd(x + r + quarter + half, _mm256_sub_pd(b2, b3));
    }
}

// Rows a..d become columns: lane k of each result holds row k.
__attribute__((target("avx"))) inline void transpose4(__m256d& a, __m256d& b, __m256d& c,
                                                      __m256d& d) {
    const __m256d t0 = _mm256_unpacklo_pd(a, b);
    const __m256d t1 = _mm256_unpackhi_pd(a, b);
    const __m256d t2 = _mm256_unpacklo_pd(c, d);
    const __m256d t3 = _mm256_unpackhi_pd(c, d);
    a = _mm256_permute2f128_pd(t0, t2, 0x20);
    b = _mm256_permute2f128_pd(t1, t3, 0x20);
    c = _mm256_permute2f128_pd(t0, t2, 0x31);
    d = _mm256_permute2f128_pd(t1, t3, 0x31);
}

// Pass 3 on four groups of eight at a time (length >= 32): lane k works on group k.
__attribute__((target("avx"))) inline void forward_pass_3_avx(double* df, const double* sf,
                                                              int32_t length, double h) {
    const __m256d hv = _mm256_set1_pd(h);
    for (int32_t j = 0; j < length; j += 32) {
        __m256d s0 = _mm256_loadu_pd(sf + j), s1 = _mm256_loadu_pd(sf + j + 8);
        __m256d s2 = _mm256_loadu_pd(sf + j + 16), s3 = _mm256_loadu_pd(sf + j + 24);
        __m256d s4 = _mm256_loadu_pd(sf + j + 4), s5 = _mm256_loadu_pd(sf + j + 12);
        __m256d s6 = _mm256_loadu_pd(sf + j + 20), s7 = _mm256_loadu_pd(sf + j + 28);
        transpose4(s0, s1, s2, s3);
        transpose4(s4, s5, s6, s7);
        __m256d d0 = _mm256_add_pd(s0, s4);
        __m256d d4 = _mm256_sub_pd(s0, s4);
        __m256d d2 = s2;
        __m256d d6 = s6;
        const __m256d v = _mm256_mul_pd(_mm256_sub_pd(s5, s7), hv);
        __m256d d1 = _mm256_add_pd(s1, v);
        __m256d d3 = _mm256_sub_pd(s1, v);
        const __m256d w = _mm256_mul_pd(_mm256_add_pd(s5, s7), hv);
        __m256d d5 = _mm256_add_pd(w, s3);
        __m256d d7 = _mm256_sub_pd(w, s3);
        transpose4(d0, d1, d2, d3);
        transpose4(d4, d5, d6, d7);
        _mm256_storeu_pd(df + j, d0);
        _mm256_storeu_pd(df + j + 8, d1);
        _mm256_storeu_pd(df + j + 16, d2);
        _mm256_storeu_pd(df + j + 24, d3);
        _mm256_storeu_pd(df + j + 4, d4);
        _mm256_storeu_pd(df + j + 12, d5);
        _mm256_storeu_pd(df + j + 20, d6);
        _mm256_storeu_pd(df + j + 28, d7);
    }
}

__attribute__((target("avx"))) inline void inverse_pass_3_avx(double* df, const double* sf,
                                                              int32_t length, double h) {
    const __m256d hv = _mm256_set1_pd(h);
    const __m256d two = _mm256_set1_pd(2.0);
    for (int32_t j = 0; j < length; j += 32) {
        __m256d s0 = _mm256_loadu_pd(sf + j), s1 = _mm256_loadu_pd(sf + j + 8);
        __m256d s2 = _mm256_loadu_pd(sf + j + 16), s3 = _mm256_loadu_pd(sf + j + 24);
        __m256d s4 = _mm256_loadu_pd(sf + j + 4), s5 = _mm256_loadu_pd(sf + j + 12);
        __m256d s6 = _mm256_loadu_pd(sf + j + 20), s7 = _mm256_loadu_pd(sf + j + 28);
        transpose4(s0, s1, s2, s3);
        transpose4(s4, s5, s6, s7);
        __m256d d0 = _mm256_add_pd(s0, s4);
        __m256d d4 = _mm256_sub_pd(s0, s4);
        __m256d d2 = _mm256_mul_pd(s2, two);
        __m256d d6 = _mm256_mul_pd(s6, two);
        __m256d d1 = _mm256_add_pd(s1, s3);
        __m256d d3 = _mm256_sub_pd(s5, s7);
        const __m256d vr = _mm256_sub_pd(s1, s3);
        const __m256d vi = _mm256_add_pd(s5, s7);
        __m256d d5 = _mm256_mul_pd(_mm256_add_pd(vr, vi), hv);
        __m256d d7 = _mm256_mul_pd(_mm256_sub_pd(vi, vr), hv);
        transpose4(d0, d1, d2, d3);
        transpose4(d4, d5, d6, d7);
        _mm256_storeu_pd(df + j, d0);
        _mm256_storeu_pd(df + j + 8, d1);
        _mm256_storeu_pd(df + j + 16, d2);
        _mm256_storeu_pd(df + j + 24, d3);
        _mm256_storeu_pd(df + j + 4, d4);
        _mm256_storeu_pd(df + j + 12, d5);
        _mm256_storeu_pd(df + j + 20, d6);
        _mm256_storeu_pd(df + j + 28, d7);
    }
}

// A whole forward table pass of block size n (m = n/2 >= 8): steps 1 to 3 one at a time, the
// rest four at a time.
__attribute__((target("avx"))) inline void forward_lut_pass_avx(double* df, const double* sf,
                                                                const double* cos_ptr, int32_t n,
                                                                int32_t length) {
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
        forward_butterflies<double>(dr, di, s1r, s2r, s1i, s2i, cos_ptr, m, n, 1, 4);
        for (int32_t i = 4; i < m; i += 4) {
            const __m256d c = _mm256_loadu_pd(cos_ptr + i);
            const __m256d s = load_reversed4(cos_ptr, m - i);
            const __m256d x2r = _mm256_loadu_pd(s2r + i);
            const __m256d x2i = _mm256_loadu_pd(s2i + i);
            const __m256d x1r = _mm256_loadu_pd(s1r + i);
            const __m256d x1i = _mm256_loadu_pd(s1i + i);
            const __m256d v = _mm256_sub_pd(_mm256_mul_pd(x2r, c), _mm256_mul_pd(x2i, s));
            _mm256_storeu_pd(dr + i, _mm256_add_pd(x1r, v));
            store_reversed4(dr, n - i, _mm256_sub_pd(x1r, v));
            const __m256d w = _mm256_add_pd(_mm256_mul_pd(x2r, s), _mm256_mul_pd(x2i, c));
            _mm256_storeu_pd(di + i, _mm256_add_pd(w, x1i));
            store_reversed4(di, n - i, _mm256_sub_pd(w, x1i));
        }
    }
}

__attribute__((target("avx"))) inline void inverse_lut_pass_avx(double* df, const double* sf,
                                                                const double* cos_ptr, int32_t n,
                                                                int32_t length) {
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
        inverse_butterflies<double>(d1r, d2r, d1i, d2i, sr, si, cos_ptr, m, n, 1, 4);
        for (int32_t i = 4; i < m; i += 4) {
            const __m256d r = _mm256_loadu_pd(sr + i);
            const __m256d r_mirror = load_reversed4(sr, n - i);
            const __m256d im = _mm256_loadu_pd(si + i);
            const __m256d im_mirror = load_reversed4(si, n - i);
            _mm256_storeu_pd(d1r + i, _mm256_add_pd(r, r_mirror));
            _mm256_storeu_pd(d1i + i, _mm256_sub_pd(im, im_mirror));
            const __m256d c = _mm256_loadu_pd(cos_ptr + i);
            const __m256d s = load_reversed4(cos_ptr, m - i);
            const __m256d vr = _mm256_sub_pd(r, r_mirror);
            const __m256d vi = _mm256_add_pd(im, im_mirror);
            _mm256_storeu_pd(d2r + i, _mm256_add_pd(_mm256_mul_pd(vr, c), _mm256_mul_pd(vi, s)));
            _mm256_storeu_pd(d2i + i, _mm256_sub_pd(_mm256_mul_pd(vi, c), _mm256_mul_pd(vr, s)));
        }
    }
}

#endif

} // namespace fftreal
