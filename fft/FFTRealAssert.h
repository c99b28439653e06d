// Precondition checks of the transform classes. In builds without NDEBUG a failed check prints the
// checked expression, the source file and the line, then aborts; with NDEBUG the checks vanish so
// the inner loops of the transforms stay free of them.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fftreal {

[[noreturn]] inline void assertion_failed(const char* expression, const char* file, int line) {
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, file, line);
    std::fflush(stderr);
    std::abort();
}

} // namespace fftreal

#if defined(NDEBUG)
#define fftreal_assert(expr) ((void)sizeof((expr) ? 1 : 0))
#else
#define fftreal_assert(expr)                                                                       \
    ((expr) ? (void)0 : ::fftreal::assertion_failed(#expr, __FILE__, __LINE__))
#endif
