// The inner loops of the general passes that take their twiddle factors from the cosine table:
// for i = first .. last-1 of one block, with c = cos_ptr[i] and s = cos_ptr[m - i]. For double on
// SSE2 two neighbouring i are computed together; each lane does exactly the scalar arithmetic
// (no fused multiply-add), so the results are the same to the bit.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fftreal {

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
