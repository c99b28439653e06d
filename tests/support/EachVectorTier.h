// Runs the tests of a suite once on each vector tier, in one program: with the widest
// instructions the processor has, and with SSE2 alone, as processors without AVX2 and FMA run
// them. A suite declared with ON_EACH_VECTOR_TIER(Suite) holds TEST_P(Suite, Name) tests, which
// hand tier() to the transform or engine they make; their names end in /widest and /sse2.
#pragma once

#include "fft/VectorTier.h"

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

class EachVectorTier : public ::testing::TestWithParam<fftreal::VectorTier> {
  protected:
    fftreal::VectorTier tier() const { return GetParam(); }
};

inline std::string vectorTierName(const ::testing::TestParamInfo<fftreal::VectorTier>& info) {
    return info.param == fftreal::VectorTier::sse2 ? "sse2" : "widest";
}

} // namespace testsupport

#define INSTANTIATE_ON_EACH_VECTOR_TIER(suite)                                                     \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        , suite, ::testing::Values(fftreal::VectorTier::avx2_fma, fftreal::VectorTier::sse2),      \
        testsupport::vectorTierName)

#define ON_EACH_VECTOR_TIER(suite)                                                                 \
    class suite : public testsupport::EachVectorTier {};                                           \
    INSTANTIATE_ON_EACH_VECTOR_TIER(suite)
