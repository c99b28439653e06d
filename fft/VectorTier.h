// The widest vector instructions a transform of doubles may use, and the one look at the
// processor that tells which it has. Each transform object asks once, when it is made, and keeps
// the answer; nothing is looked up while it transforms. A transform asked for a narrower tier
// than the processor has runs the narrower loops, which is how they are tested on any processor.
#pragma once

#if defined(__SSE2__) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
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
