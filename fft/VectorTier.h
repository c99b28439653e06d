// The widest vector instructions a transform of doubles may use, and the one look at the
// processor that tells which it has. Each transform object asks once, when it is made, and keeps
// the answer; nothing is looked up while it transforms.
//
// FFTREAL_NO_AVX leaves the AVX2 sweeps out, so that the loops of processors without them can be
// tested on one that has them.
#pragma once

#if defined(__SSE2__) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) &&       \
    !defined(FFTREAL_NO_AVX)
#define FFTREAL_AVX2_SWEEPS 1
#endif

namespace fftreal {

// From the narrowest: SSE2 (every x86-64 processor), then AVX2 with FMA.
enum class VectorTier { sse2, avx2_fma };

inline VectorTier processor_tier() {
#if defined(FFTREAL_AVX2_SWEEPS)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return VectorTier::avx2_fma;
#endif
    return VectorTier::sse2;
}

} // namespace fftreal
