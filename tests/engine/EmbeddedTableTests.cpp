// The built-in table places a source at the far left on the left and at the far right on the
// right. Skipped while the built-in table is an all-zero placeholder.
#include "engine/BlockConvolver.h"
#include "engine/HrirTable.h"
#include "tests/engine/EngineRig.h"
#include "tests/support/EachVectorTier.h"

#include <gtest/gtest.h>

#include <cmath>

using vorpane::Ear;

namespace {

// Level difference left minus right, in dB, for the same noise on both inputs.
double levelDifference(float azimuth, float elevation, fftreal::VectorTier tier) {
    std::atomic<float> a{azimuth}, e{elevation};
    std::atomic<bool> dirty{true};
    auto engine =
        std::make_unique<vorpane::BlockConvolver>(vorpane::embeddedHrirTable(), a, e, dirty, tier);
    enginetest::Stereo input = enginetest::randomStereo(16384, 31);
    input.right = input.left;
    std::vector<float> inL(input.left.begin(), input.left.end()), inR = inL;
    std::vector<float> outL(inL.size()), outR(inL.size());
    float* inputs[] = {inL.data(), inR.data()};
    float* outputs[] = {outL.data(), outR.data()};
    engine->processReplacing(inputs, outputs, static_cast<int32_t>(inL.size()));
    double left = 0, right = 0;
    for (size_t i = 4096; i < outL.size(); ++i) {
        left += double(outL[i]) * outL[i];
        right += double(outR[i]) * outR[i];
    }
    return 10 * std::log10(left / right);
}

} // namespace

ON_EACH_VECTOR_TIER(EmbeddedTable);

TEST_P(EmbeddedTable, FarLeftIsLouderOnTheLeftAndFarRightOnTheRight) {
    if (enginetest::embeddedTableIsEmpty())
        GTEST_SKIP() << "the built-in table is still the zero placeholder";
    for (float elevation : {0.0f, 0.25f, 0.5f, 1.0f}) {
        EXPECT_GT(levelDifference(0.0f, elevation, tier()), 6.0) << elevation;
        EXPECT_LT(levelDifference(1.0f, elevation, tier()), -6.0) << elevation;
        EXPECT_LT(std::abs(levelDifference(0.5f, elevation, tier())), 6.0) << elevation;
    }
}
