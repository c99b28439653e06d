// Fourier transform of real signals of power-of-two length, computed in radix-2 passes on real
// arrays. Spectra use the half-complex layout: f[0] is DC, f[1 .. N/2-1] the real parts of bins
// 1 .. N/2-1, f[N/2] Nyquist, f[N/2 + k] the negated imaginary part of bin k. The inverse
// transform is not normalised: it returns N times the signal.
//
// Every transform of length 8 or more writes the object's work buffer, so one object must never
// run two transforms at the same time.
#pragma once

#include "fft/DynArray.h"
#include "fft/FFTRealAssert.h"
#include "fft/FFTRealAvx2.h"
#include "fft/FFTRealKernels.h"
#include "fft/FFTRealSplitAvx2.h"
#include "fft/TrigoOscillator.h"
#include "fft/VectorTier.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <utility>

inline bool FFTReal_is_pow2(int32_t x) {
    return (x & -x) == x;
}

template <class DT> class FFTReal {
  public:
    enum { MAX_BIT_DEPTH = 30 }; // largest number of bits of a length
    typedef DT DataType;

    // widest: the widest vector instructions to use where the processor has them (narrower
    // ones only for measurements and tests).
    explicit FFTReal(int32_t length, fftreal::VectorTier widest = fftreal::VectorTier::avx2_fma);
    virtual ~FFTReal() = default;

    FFTReal(const FFTReal&) = delete;
    FFTReal& operator=(const FFTReal&) = delete;

    int32_t get_length() const { return _length; }
    // What this object computes with: the narrower of widest and what the processor has.
    fftreal::VectorTier get_vector_tier() const { return _tier; }

    // f receives the half-complex spectrum of x; x is only read.
    void forward_transform(DataType f[], const DataType x[]);
    // x receives N times the signal of spectrum f; f is only read.
    void inverse_transform(const DataType f[], DataType x[]);
    // Multiplies the N values of x by 1/N.
    void normalize(DataType x[]) const;
    DataType* use_buffer() { return &_work_buffer[0]; }

    // The transforms in parts, in the order of a fast convolution of a block whose second half is
    // zero with a filter, where has_split_route() (AVX2 and FMA; lengths 2^7, 2^9, 2^11, 2^13):
    //  1. forward_half_block: every forward pass but the last of x, whose second half is not
    //     read but taken as zero;
    //  2. multiply_in_middle: the last forward pass, the product with the filter spectrum h,
    //     times scale, and the first inverse pass; multiply_sum_in_middle sums the products of
    //     two blocks with their own filters;
    //  3. add_inverse_tail: the other inverse passes, adding only the first samples to an array.
    // The result has the same bits as forward_transform, the product in the half-complex layout
    // ((h x) scale per bin, or (h_a x_a + h_b x_b) scale) and inverse_transform. The parts work in
    // the caller's arrays (work: N values of scratch), not in the work buffer. Filter spectra go
    // in in the middle's own order, made by order_for_middle.
    bool has_split_route() const;
    // Number of values of a filter spectrum in the middle's order.
    int32_t get_ordered_length() const { return _length + 4; }
    void order_for_middle(DataType ordered[], const DataType h[]) const;
    // s receives x after all forward passes but the last.
    void forward_half_block(DataType s[], const DataType x[], DataType work[]) const;
    // y receives the first inverse pass of the product of s's spectrum with the ordered filter h.
    void multiply_in_middle(DataType y[], const DataType s[], const DataType h[],
                            DataType scale) const;
    void multiply_sum_in_middle(DataType y[], const DataType s_a[], const DataType h_a[],
                                const DataType s_b[], const DataType h_b[], DataType scale) const;
    // The other inverse passes of y (which they overwrite), adding sample i of the result to x[i]
    // for i < overlap and storing it plus 0.0 (as if x[i] were zero) for overlap <= i < count.
    void add_inverse_tail(DataType x[], DataType y[], DataType work[], int32_t count,
                          int32_t overlap) const;

  protected:
    enum { TRIGO_BD_LIMIT = 12 }; // passes above this take their twiddles from oscillators

    typedef TrigoOscillator<DataType> OscType;

    void init_bit_rev_lut();
    void init_trigo_lut();
    void init_trigo_osc();

    const DataType* get_trigo_level_ptr(int32_t level) const;

    void compute_fft_general(DataType f[], const DataType x[]);
    void compute_fft_passes(DataType f[], const DataType x[]);
    int32_t count_sweeps() const;
    void compute_fft_sweeps(DataType f[], const DataType x[]);
    void compute_ifft_sweeps(const DataType f[], DataType x[]);
    void compute_direct_pass_1_2(DataType df[], const DataType x[]) const;
    void compute_direct_pass_3(DataType df[], const DataType sf[]) const;
    void compute_direct_pass_n(DataType df[], const DataType sf[], int32_t pass);
    void compute_direct_pass_n_lut(DataType df[], const DataType sf[], int32_t pass) const;
    void compute_direct_pass_n_osc(DataType df[], const DataType sf[], int32_t pass);
    template <class Steps>
    void for_forward_blocks(DataType df[], const DataType sf[], int32_t pass, Steps steps) const;

    void compute_ifft_general(const DataType f[], DataType x[]);
    void compute_ifft_passes(const DataType f[], DataType x[]);
    void compute_inverse_pass_n(DataType df[], const DataType sf[], int32_t pass);
    void compute_inverse_pass_n_lut(DataType df[], const DataType sf[], int32_t pass) const;
    void compute_inverse_pass_n_osc(DataType df[], const DataType sf[], int32_t pass);
    template <class Steps>
    void for_inverse_blocks(DataType df[], const DataType sf[], int32_t pass, Steps steps) const;
    void compute_inverse_pass_3(DataType df[], const DataType sf[]) const;
    void compute_inverse_pass_1_2(DataType x[], const DataType sf[]) const;

    int32_t _length;
    int32_t _nbr_bits;
    DynArray<int32_t> _bit_rev_table;
    DynArray<DataType> _cos_table;
    DynArray<DataType> _work_buffer;
    DynArray<OscType> _oscillators;
    fftreal::VectorTier _tier;
    bool _sweeps; // whole transforms in the sweeps of FFTRealAvx2.h rather than pass by pass
};

namespace fftreal {

// The number of bits of x - 1: the smallest b with 2^b >= x (0 for x <= 1).
inline int32_t bit_count_of_predecessor(int32_t x) {
    int64_t remaining = static_cast<int64_t>(x) - 1; // no overflow for the lowest int32_t
    int32_t bits = 0;
    while (remaining > 0xFFFF) {
        remaining >>= 16;
        bits += 16;
    }
    while (remaining > 15) {
        remaining >>= 4;
        bits += 4;
    }
    while (remaining > 0) {
        remaining >>= 1;
        ++bits;
    }
    return bits;
}

constexpr double kHalfSqrt2 = 0.7071067811865476;
constexpr double kPi = 3.1415926535897932384626433832795;

} // namespace fftreal

template <class DT>
FFTReal<DT>::FFTReal(int32_t length, fftreal::VectorTier widest)
    : _length(length), _nbr_bits(fftreal::bit_count_of_predecessor(length)), _work_buffer(length),
      _tier(std::is_same_v<DT, double> ? std::min(widest, fftreal::processor_tier())
                                       : fftreal::VectorTier::sse2),
      _sweeps(_tier == fftreal::VectorTier::avx2_fma && _nbr_bits >= 6) {
    const int32_t x = length;
    fftreal_assert(x > 0);
    // clang-format off
    fftreal_assert(FFTReal_is_pow2 (length));
    // clang-format on
    fftreal_assert(_nbr_bits <= MAX_BIT_DEPTH);
    init_bit_rev_lut();
    init_trigo_lut();
    init_trigo_osc();
}

template <class DT> void FFTReal<DT>::init_bit_rev_lut() {
    const int32_t length = 1 << _nbr_bits;
    _bit_rev_table.resize(length);
    _bit_rev_table[0] = 0;
    int32_t reversed = 0;
    for (int32_t i = 1; i < length; ++i) {
        // Add one to the counter that runs from its most significant bit downwards.
        int32_t bit = length >> 1;
        reversed ^= bit;
        while ((reversed & bit) == 0) {
            bit >>= 1;
            reversed ^= bit;
        }
        _bit_rev_table[i] = reversed;
    }
}

template <class DT> void FFTReal<DT>::init_trigo_lut() {
    if (_nbr_bits <= 3) return;
    _cos_table.resize((1 << (_nbr_bits - 1)) - 4);
    for (int32_t level = 3; level < _nbr_bits; ++level) {
        const int32_t level_len = 1 << (level - 1);
        const int32_t offset = level_len - 4;
        const double mul = fftreal::kPi / static_cast<double>(level_len << 1);
        for (int32_t j = 0; j < level_len; ++j)
            _cos_table[offset + j] = static_cast<DataType>(std::cos(j * mul));
    }
}

template <class DT> void FFTReal<DT>::init_trigo_osc() {
    if (_nbr_bits <= TRIGO_BD_LIMIT) return;
    const int32_t count = _nbr_bits - TRIGO_BD_LIMIT;
    _oscillators.resize(count);
    for (int32_t k = 0; k < count; ++k) {
        const double step = (fftreal::kPi * 0.5) / static_cast<double>(1LL << (k + TRIGO_BD_LIMIT));
        _oscillators[k].set_step(step);
    }
}

template <class DT> const DT* FFTReal<DT>::get_trigo_level_ptr(int32_t level) const {
    fftreal_assert(level >= 3);
    return &_cos_table[(1 << (level - 1)) - 4];
}

template <class DT> void FFTReal<DT>::forward_transform(DataType f[], const DataType x[]) {
    fftreal_assert(f != 0);
    // clang-format off
    fftreal_assert(f != use_buffer ());
    fftreal_assert(x != 0);
    fftreal_assert(x != use_buffer ());
    // clang-format on
    fftreal_assert(x != f);

    if (_nbr_bits > 2) {
        compute_fft_general(f, x);
    } else if (_nbr_bits == 2) {
        f[1] = x[0] - x[2];
        f[3] = x[1] - x[3];
        const DataType b = x[0] + x[2];
        const DataType c = x[1] + x[3];
        f[0] = b + c;
        f[2] = b - c;
    } else if (_nbr_bits == 1) {
        f[0] = x[0] + x[1];
        f[1] = x[0] - x[1];
    } else {
        f[0] = x[0];
    }
}

template <class DT> void FFTReal<DT>::inverse_transform(const DataType f[], DataType x[]) {
    fftreal_assert(f != 0);
    // clang-format off
    fftreal_assert(f != use_buffer ());
    fftreal_assert(x != 0);
    fftreal_assert(x != use_buffer ());
    // clang-format on
    fftreal_assert(x != f);

    if (_nbr_bits > 2) {
        compute_ifft_general(f, x);
    } else if (_nbr_bits == 2) {
        const DataType d = f[0] + f[2];
        const DataType e = f[0] - f[2];
        x[0] = d + f[1] * 2;
        x[2] = d - f[1] * 2;
        x[1] = e + f[3] * 2;
        x[3] = e - f[3] * 2;
    } else if (_nbr_bits == 1) {
        x[0] = f[0] + f[1];
        x[1] = f[0] - f[1];
    } else {
        x[0] = f[0];
    }
}

template <class DT> void FFTReal<DT>::normalize(DataType x[]) const {
    const DataType mul = static_cast<DataType>(1) / static_cast<DataType>(_length);
    if (_length < 4) {
        for (int32_t i = 0; i < _length; ++i)
            x[i] *= mul;
        return;
    }
    fftreal_assert((_length & 3) == 0);
    int32_t i = _length - 4;
    do {
        x[i + 3] *= mul;
        x[i + 2] *= mul;
        x[i + 1] *= mul;
        x[i] *= mul;
        i -= 4;
    } while (i >= 0);
}

// Forward stages alternate between f and the work buffer; the first one is chosen so that the
// last one writes f.
template <class DT> void FFTReal<DT>::compute_fft_general(DataType f[], const DataType x[]) {
    if (_sweeps)
        compute_fft_sweeps(f, x);
    else
        compute_fft_passes(f, x);
}

// One stage per pass (passes 1 and 2 together).
template <class DT> void FFTReal<DT>::compute_fft_passes(DataType f[], const DataType x[]) {
    DataType* sf;
    DataType* df;
    if ((_nbr_bits & 1) != 0) {
        df = use_buffer();
        sf = f;
    } else {
        df = f;
        sf = use_buffer();
    }
    compute_direct_pass_1_2(df, x);
    compute_direct_pass_3(sf, df);
    for (int32_t pass = 3; pass < _nbr_bits; ++pass) {
        compute_direct_pass_n(df, sf, pass);
        std::swap(df, sf);
    }
}

template <class DT>
void FFTReal<DT>::compute_direct_pass_1_2(DataType df[], const DataType x[]) const {
    fftreal_assert(df != 0);
    fftreal_assert(x != 0);
    fftreal_assert(df != x);
    fftreal::forward_pass_1_2(df, x, &_bit_rev_table[0], _length);
}

template <class DT>
void FFTReal<DT>::compute_direct_pass_3(DataType df[], const DataType sf[]) const {
    fftreal_assert(df != 0);
    fftreal_assert(sf != 0);
    fftreal_assert(df != sf);
    const DataType h = static_cast<DataType>(fftreal::kHalfSqrt2);
    for (int32_t j = 0; j < _length; j += 8) {
        df[j] = sf[j] + sf[j + 4];
        df[j + 4] = sf[j] - sf[j + 4];
        df[j + 2] = sf[j + 2];
        df[j + 6] = sf[j + 6];
        const DataType v = (sf[j + 5] - sf[j + 7]) * h;
        df[j + 1] = sf[j + 1] + v;
        df[j + 3] = sf[j + 1] - v;
        const DataType w = (sf[j + 5] + sf[j + 7]) * h;
        df[j + 5] = w + sf[j + 3];
        df[j + 7] = w - sf[j + 3];
    }
}

template <class DT>
void FFTReal<DT>::compute_direct_pass_n(DataType df[], const DataType sf[], int32_t pass) {
    if (pass <= TRIGO_BD_LIMIT)
        compute_direct_pass_n_lut(df, sf, pass);
    else
        compute_direct_pass_n_osc(df, sf, pass);
}

template <class DT>
void FFTReal<DT>::compute_direct_pass_n_lut(DataType df[], const DataType sf[],
                                            int32_t pass) const {
    fftreal_assert(df != 0);
    fftreal_assert(sf != 0);
    fftreal_assert(df != sf);
    fftreal_assert(pass >= 3);
    fftreal_assert(pass < _nbr_bits);
    const int32_t n = 1 << pass;
    const int32_t m = n >> 1;
    const DataType* cos_ptr = get_trigo_level_ptr(pass);
    for_forward_blocks(df, sf, pass, [&](auto dr, auto di, auto s1r, auto s2r, auto s1i, auto s2i) {
        fftreal::forward_butterflies(dr, di, s1r, s2r, s1i, s2i, cos_ptr, m, n, 1, m);
    });
}

template <class DT>
void FFTReal<DT>::compute_direct_pass_n_osc(DataType df[], const DataType sf[], int32_t pass) {
    fftreal_assert(df != 0);
    fftreal_assert(sf != 0);
    fftreal_assert(df != sf);
    fftreal_assert(pass >= 3);
    fftreal_assert(pass > TRIGO_BD_LIMIT);
    fftreal_assert(pass < _nbr_bits);
    const int32_t n = 1 << pass;
    const int32_t m = n >> 1;
    OscType& osc = _oscillators[pass - (TRIGO_BD_LIMIT + 1)];
    for_forward_blocks(df, sf, pass, [&](auto dr, auto di, auto s1r, auto s2r, auto s1i, auto s2i) {
        osc.clear_buffers();
        for (int32_t i = 1; i < m; ++i) {
            osc.step();
            fftreal::forward_butterfly(dr, di, s1r, s2r, s1i, s2i, n, i, osc.get_cos(),
                                       osc.get_sin());
        }
    });
}

// The blocks of forward pass `pass` (block size n = 2^pass, m = n / 2): steps 0 and m of each
// block here, the others by steps(dr, di, s1r, s2r, s1i, s2i).
template <class DT>
template <class Steps>
void FFTReal<DT>::for_forward_blocks(DataType df[], const DataType sf[], int32_t pass,
                                     Steps steps) const {
    const int32_t n = 1 << pass;
    const int32_t m = n >> 1;
    for (int32_t b = 0; b < _length; b += n << 1) {
        const DataType* const s1r = sf + b;
        const DataType* const s2r = s1r + n;
        const DataType* const s1i = s1r + m;
        const DataType* const s2i = s1i + n;
        DataType* const dr = df + b;
        DataType* const di = dr + n;
        dr[0] = s1r[0] + s2r[0];
        di[0] = s1r[0] - s2r[0];
        dr[m] = s1r[m];
        di[m] = s2r[m];
        steps(dr, di, s1r, s2r, s1i, s2i);
    }
}

// Inverse stages run in the opposite order. The first reads f and writes the work buffer or x,
// chosen so that the last stage writes x; f is never written.
template <class DT> void FFTReal<DT>::compute_ifft_general(const DataType f[], DataType x[]) {
    if (_sweeps)
        compute_ifft_sweeps(f, x);
    else
        compute_ifft_passes(f, x);
}

template <class DT> void FFTReal<DT>::compute_ifft_passes(const DataType f[], DataType x[]) {
    DataType* df;
    DataType* other;
    if ((_nbr_bits & 1) != 0) {
        df = use_buffer();
        other = x;
    } else {
        df = x;
        other = use_buffer();
    }
    const DataType* sf = f;
    for (int32_t pass = _nbr_bits - 1; pass >= 3; --pass) {
        compute_inverse_pass_n(df, sf, pass);
        sf = df;
        std::swap(df, other);
    }
    compute_inverse_pass_3(df, sf);
    compute_inverse_pass_1_2(x, df);
}

template <class DT>
void FFTReal<DT>::compute_inverse_pass_n(DataType df[], const DataType sf[], int32_t pass) {
    if (pass <= TRIGO_BD_LIMIT)
        compute_inverse_pass_n_lut(df, sf, pass);
    else
        compute_inverse_pass_n_osc(df, sf, pass);
}

template <class DT>
void FFTReal<DT>::compute_inverse_pass_n_lut(DataType df[], const DataType sf[],
                                             int32_t pass) const {
    fftreal_assert(df != 0);
    fftreal_assert(sf != 0);
    fftreal_assert(df != sf);
    fftreal_assert(pass >= 3);
    fftreal_assert(pass < _nbr_bits);
    const int32_t n = 1 << pass;
    const int32_t m = n >> 1;
    const DataType* cos_ptr = get_trigo_level_ptr(pass);
    for_inverse_blocks(df, sf, pass, [&](auto d1r, auto d2r, auto d1i, auto d2i, auto sr, auto si) {
        fftreal::inverse_butterflies(d1r, d2r, d1i, d2i, sr, si, cos_ptr, m, n, 1, m);
    });
}

template <class DT>
void FFTReal<DT>::compute_inverse_pass_n_osc(DataType df[], const DataType sf[], int32_t pass) {
    fftreal_assert(df != 0);
    fftreal_assert(sf != 0);
    fftreal_assert(df != sf);
    fftreal_assert(pass >= 3);
    fftreal_assert(pass > TRIGO_BD_LIMIT);
    fftreal_assert(pass < _nbr_bits);
    const int32_t n = 1 << pass;
    const int32_t m = n >> 1;
    OscType& osc = _oscillators[pass - (TRIGO_BD_LIMIT + 1)];
    for_inverse_blocks(df, sf, pass, [&](auto d1r, auto d2r, auto d1i, auto d2i, auto sr, auto si) {
        osc.clear_buffers();
        for (int32_t i = 1; i < m; ++i) {
            osc.step();
            fftreal::inverse_butterfly(d1r, d2r, d1i, d2i, sr, si, n, i, osc.get_cos(),
                                       osc.get_sin());
        }
    });
}

// The blocks of inverse pass `pass`: steps 0 and m of each block here, the others by
// steps(d1r, d2r, d1i, d2i, sr, si).
template <class DT>
template <class Steps>
void FFTReal<DT>::for_inverse_blocks(DataType df[], const DataType sf[], int32_t pass,
                                     Steps steps) const {
    const int32_t n = 1 << pass;
    const int32_t m = n >> 1;
    for (int32_t b = 0; b < _length; b += n << 1) {
        const DataType* const sr = sf + b;
        const DataType* const si = sr + n;
        DataType* const d1r = df + b;
        DataType* const d2r = d1r + n;
        DataType* const d1i = d1r + m;
        DataType* const d2i = d1i + n;
        d1r[0] = sr[0] + si[0];
        d2r[0] = sr[0] - si[0];
        d1r[m] = sr[m] * 2;
        d2r[m] = si[m] * 2;
        steps(d1r, d2r, d1i, d2i, sr, si);
    }
}

template <class DT>
void FFTReal<DT>::compute_inverse_pass_3(DataType df[], const DataType sf[]) const {
    fftreal_assert(df != 0);
    fftreal_assert(sf != 0);
    fftreal_assert(df != sf);
    const DataType h = static_cast<DataType>(fftreal::kHalfSqrt2);
    for (int32_t j = 0; j < _length; j += 8) {
        df[j] = sf[j] + sf[j + 4];
        df[j + 4] = sf[j] - sf[j + 4];
        df[j + 2] = sf[j + 2] * 2;
        df[j + 6] = sf[j + 6] * 2;
        df[j + 1] = sf[j + 1] + sf[j + 3];
        df[j + 3] = sf[j + 5] - sf[j + 7];
        const DataType vr = sf[j + 1] - sf[j + 3];
        const DataType vi = sf[j + 5] + sf[j + 7];
        df[j + 5] = (vr + vi) * h;
        df[j + 7] = (vi - vr) * h;
    }
}

template <class DT>
void FFTReal<DT>::compute_inverse_pass_1_2(DataType x[], const DataType sf[]) const {
    fftreal_assert(x != 0);
    fftreal_assert(sf != 0);
    fftreal_assert(x != sf);
    fftreal::inverse_pass_1_2(x, sf, &_bit_rev_table[0], _length);
}

// With AVX2 and FMA, lengths of 64 and more run in sweeps that each compute several passes: the
// first forward sweep passes 1 to 3 and table pass 3, then the table passes two at a time (the
// widest on its own when their number is odd), then the rotation passes one at a time. Like the
// passes, the sweeps alternate between f and the work buffer, the last one writing f; the
// inverse runs them backwards, the last one writing x.
template <class DT> int32_t FFTReal<DT>::count_sweeps() const {
    const int32_t last_table_pass = std::min<int32_t>(_nbr_bits - 1, TRIGO_BD_LIMIT);
    const int32_t table_passes = last_table_pass - 3; // passes 4 .. last_table_pass
    const int32_t rotation_passes = _nbr_bits - 1 - last_table_pass;
    return 1 + (table_passes & 1) + table_passes / 2 + rotation_passes;
}

template <class DT> void FFTReal<DT>::compute_fft_sweeps(DataType f[], const DataType x[]) {
#if defined(FFTREAL_AVX2_SWEEPS)
    if constexpr (std::is_same_v<DataType, double>) {
        DataType* df = (count_sweeps() & 1) != 0 ? f : use_buffer();
        DataType* sf = df == f ? use_buffer() : f;
        fftreal_assert(df != 0);
        fftreal_assert(x != 0);
        fftreal_assert(df != x);
        fftreal::avx2::forward_first_sweep(df, x, &_bit_rev_table[0], get_trigo_level_ptr(3),
                                           _length);
        std::swap(df, sf);
        const int32_t last_table_pass = std::min<int32_t>(_nbr_bits - 1, TRIGO_BD_LIMIT);
        int32_t pass = 4;
        for (; pass < last_table_pass; pass += 2) {
            fftreal_assert(df != 0);
            fftreal_assert(sf != 0);
            fftreal_assert(df != sf);
            fftreal_assert(pass >= 3);
            fftreal_assert(pass + 1 < _nbr_bits);
            fftreal::avx2::forward_pass_pair(df, sf, get_trigo_level_ptr(pass),
                                             get_trigo_level_ptr(pass + 1), 1 << pass, _length);
            std::swap(df, sf);
        }
        // An odd number of table passes leaves the last, widest one on its own.
        if (pass == last_table_pass) {
            fftreal_assert(df != 0);
            fftreal_assert(sf != 0);
            fftreal_assert(df != sf);
            fftreal_assert(pass >= 3);
            fftreal_assert(pass < _nbr_bits);
            fftreal::avx2::forward_pass(df, sf, get_trigo_level_ptr(pass), 1 << pass, _length);
            std::swap(df, sf);
            ++pass;
        }
        for (; pass < _nbr_bits; ++pass) {
            compute_direct_pass_n_osc(df, sf, pass);
            std::swap(df, sf);
        }
    }
#else
    (void)f;
    (void)x;
#endif
}

template <class DT> void FFTReal<DT>::compute_ifft_sweeps(const DataType f[], DataType x[]) {
#if defined(FFTREAL_AVX2_SWEEPS)
    if constexpr (std::is_same_v<DataType, double>) {
        DataType* df = (count_sweeps() & 1) != 0 ? x : use_buffer();
        DataType* other = df == x ? use_buffer() : x;
        const DataType* sf = f;
        const int32_t last_table_pass = std::min<int32_t>(_nbr_bits - 1, TRIGO_BD_LIMIT);
        int32_t pass = _nbr_bits - 1;
        for (; pass > last_table_pass; --pass) {
            compute_inverse_pass_n_osc(df, sf, pass);
            sf = df;
            std::swap(df, other);
        }
        // The widest table pass on its own when their number is odd, then pairs down to pass 4.
        if (((last_table_pass - 3) & 1) != 0) {
            fftreal_assert(df != 0);
            fftreal_assert(sf != 0);
            fftreal_assert(df != sf);
            fftreal_assert(pass >= 3);
            fftreal_assert(pass < _nbr_bits);
            fftreal::avx2::inverse_pass(df, sf, get_trigo_level_ptr(pass), 1 << pass, _length);
            sf = df;
            std::swap(df, other);
            --pass;
        }
        for (; pass - 1 >= 4; pass -= 2) {
            fftreal_assert(df != 0);
            fftreal_assert(sf != 0);
            fftreal_assert(df != sf);
            fftreal_assert(pass < _nbr_bits);
            fftreal::avx2::inverse_pass_pair(df, sf, get_trigo_level_ptr(pass - 1),
                                             get_trigo_level_ptr(pass), 1 << (pass - 1), _length);
            sf = df;
            std::swap(df, other);
        }
        fftreal_assert(x != 0);
        fftreal_assert(sf != 0);
        fftreal_assert(x != sf);
        fftreal::avx2::inverse_last_sweep(fftreal::avx2::StoreSamples{x}, sf, &_bit_rev_table[0],
                                          get_trigo_level_ptr(3), _length);
    }
#else
    (void)f;
    (void)x;
#endif
}

template <class DT> bool FFTReal<DT>::has_split_route() const {
    // The last forward pass must be a table pass of its own: no rotation passes and an odd
    // number of table passes from 4 on.
#if defined(FFTREAL_AVX2_SWEEPS)
    return std::is_same_v<DataType, double> && _sweeps && _nbr_bits - 1 <= TRIGO_BD_LIMIT &&
           ((_nbr_bits - 4) & 1) != 0;
#else
    return false;
#endif
}

template <class DT>
void FFTReal<DT>::order_for_middle(DataType ordered[], const DataType h[]) const {
    fftreal_assert(has_split_route());
#if defined(FFTREAL_AVX2_SWEEPS)
    if constexpr (std::is_same_v<DataType, double>)
        fftreal::avx2::order_for_middle(ordered, h, _length);
#else
    (void)ordered;
    (void)h;
#endif
}

template <class DT>
void FFTReal<DT>::forward_half_block(DataType s[], const DataType x[], DataType work[]) const {
    fftreal_assert(has_split_route());
    fftreal_assert(s != 0);
    fftreal_assert(x != 0);
    fftreal_assert(work != 0);
    fftreal_assert(s != x);
    fftreal_assert(work != s);
#if defined(FFTREAL_AVX2_SWEEPS)
    if constexpr (std::is_same_v<DataType, double>) {
        // The sweeps but the last alternate between s and work, the last of them writing s.
        const int32_t sweeps = count_sweeps() - 1;
        DataType* df = (sweeps & 1) != 0 ? s : work;
        DataType* sf = df == s ? work : s;
        fftreal::avx2::forward_first_sweep<true>(df, x, &_bit_rev_table[0], get_trigo_level_ptr(3),
                                                 _length);
        std::swap(df, sf);
        for (int32_t pass = 4; pass < _nbr_bits - 1; pass += 2) {
            fftreal::avx2::forward_pass_pair(df, sf, get_trigo_level_ptr(pass),
                                             get_trigo_level_ptr(pass + 1), 1 << pass, _length);
            std::swap(df, sf);
        }
    }
#else
    (void)s;
    (void)x;
    (void)work;
#endif
}

template <class DT>
void FFTReal<DT>::multiply_in_middle(DataType y[], const DataType s[], const DataType h[],
                                     DataType scale) const {
    fftreal_assert(has_split_route());
    fftreal_assert(y != 0);
    fftreal_assert(s != 0);
    fftreal_assert(y != s);
#if defined(FFTREAL_AVX2_SWEEPS)
    if constexpr (std::is_same_v<DataType, double>) {
        const fftreal::avx2::MiddleTerm terms[1] = {{s, h}};
        fftreal::avx2::fused_middle(y, terms, get_trigo_level_ptr(_nbr_bits - 1), scale, _length);
    }
#else
    (void)y;
    (void)s;
    (void)h;
    (void)scale;
#endif
}

template <class DT>
void FFTReal<DT>::multiply_sum_in_middle(DataType y[], const DataType s_a[], const DataType h_a[],
                                         const DataType s_b[], const DataType h_b[],
                                         DataType scale) const {
    fftreal_assert(has_split_route());
    fftreal_assert(y != 0);
    fftreal_assert(s_a != 0);
    fftreal_assert(s_b != 0);
    fftreal_assert(y != s_a);
    fftreal_assert(y != s_b);
#if defined(FFTREAL_AVX2_SWEEPS)
    if constexpr (std::is_same_v<DataType, double>) {
        const fftreal::avx2::MiddleTerm terms[2] = {{s_a, h_a}, {s_b, h_b}};
        fftreal::avx2::fused_middle(y, terms, get_trigo_level_ptr(_nbr_bits - 1), scale, _length);
    }
#else
    (void)y;
    (void)s_a;
    (void)h_a;
    (void)s_b;
    (void)h_b;
    (void)scale;
#endif
}

template <class DT>
void FFTReal<DT>::add_inverse_tail(DataType x[], DataType y[], DataType work[], int32_t count,
                                   int32_t overlap) const {
    fftreal_assert(has_split_route());
    fftreal_assert(x != 0);
    fftreal_assert(y != 0);
    fftreal_assert(work != 0);
    fftreal_assert(x != y);
    fftreal_assert(work != y);
    fftreal_assert(0 <= overlap && overlap <= count && count <= _length);
#if defined(FFTREAL_AVX2_SWEEPS)
    if constexpr (std::is_same_v<DataType, double>) {
        DataType* sf = y;
        DataType* df = work;
        for (int32_t pass = _nbr_bits - 2; pass - 1 >= 4; pass -= 2) {
            fftreal::avx2::inverse_pass_pair(df, sf, get_trigo_level_ptr(pass - 1),
                                             get_trigo_level_ptr(pass), 1 << (pass - 1), _length);
            std::swap(df, sf);
        }
        fftreal::avx2::inverse_last_sweep(fftreal::avx2::AddSamples{x, overlap, count}, sf,
                                          &_bit_rev_table[0], get_trigo_level_ptr(3), _length);
    }
#else
    (void)x;
    (void)y;
    (void)work;
    (void)count;
    (void)overlap;
#endif
}
