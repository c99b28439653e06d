// The inner loops of the first forward and the last inverse stage (passes 1 and 2, through the
// bit-reversal table) and of the general passes that take their twiddle factors from the cosine
// table, one stage per pass. For double on SSE2 two neighbouring steps are computed together;
// each lane does exactly the scalar arithmetic (no fused multiply-add), so these loops agree to
// the bit. On processors with AVX2 and FMA, lengths of 64 and more run the sweeps of
// FFTRealAvx2.h instead, which round differently in the last bits.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
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

// One step i of a general pass, its twiddle factor c = cos, s = sin of i pi / n.
template <class T>
inline void forward_butterfly(T* dr, T* di, const T* s1r, const T* s2r, const T* s1i, const T* s2i,
                              int32_t n, int32_t i, T c, T s) {
    const T v = s2r[i] * c - s2i[i] * s;
    dr[i] = s1r[i] + v;
    dr[n - i] = s1r[i] - v;
    const T w = s2r[i] * s + s2i[i] * c;
    di[i] = w + s1i[i];
    di[n - i] = w - s1i[i];
}

template <class T>
inline void inverse_butterfly(T* d1r, T* d2r, T* d1i, T* d2i, const T* sr, const T* si, int32_t n,
                              int32_t i, T c, T s) {
    d1r[i] = sr[i] + sr[n - i];
    d1i[i] = si[i] - si[n - i];
    const T vr = sr[i] - sr[n - i];
    const T vi = si[i] + si[n - i];
    d2r[i] = vr * c + vi * s;
    d2i[i] = vi * c - vr * s;
}

// Steps first .. last - 1 with the twiddle factors of the cosine table level cos_ptr.
template <class T>
inline void forward_butterflies(T* dr, T* di, const T* s1r, const T* s2r, const T* s1i,
                                const T* s2i, const T* cos_ptr, int32_t m, int32_t n, int32_t first,
                                int32_t last) {
    for (int32_t i = first; i < last; ++i)
        forward_butterfly(dr, di, s1r, s2r, s1i, s2i, n, i, cos_ptr[i], cos_ptr[m - i]);
}

template <class T>
inline void inverse_butterflies(T* d1r, T* d2r, T* d1i, T* d2i, const T* sr, const T* si,
                                const T* cos_ptr, int32_t m, int32_t n, int32_t first,
                                int32_t last) {
    for (int32_t i = first; i < last; ++i)
        inverse_butterfly(d1r, d2r, d1i, d2i, sr, si, n, i, cos_ptr[i], cos_ptr[m - i]);
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

} // namespace fftreal
