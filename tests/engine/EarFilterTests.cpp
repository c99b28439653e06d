#include "tests/engine/EngineRig.h"
#include "tests/support/EachVectorTier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using enginetest::EngineRig;
using enginetest::SyntheticTable;
using vorpane::Ear;

namespace {

class EarFilters : public testsupport::EachVectorTier {
  protected:
    // The record the engine picked for a direction, read back from the marker in tap 0.
    int32_t recordFor(float azimuth, float elevation) {
        rig.azimuth = azimuth;
        rig.elevation = elevation;
        rig.engine->computeEarFilters();
        const double left = rig.engine->hrir(Ear::left)[0] * 32768.0;
        const double right = rig.engine->hrir(Ear::right)[0] * 32768.0;
        EXPECT_EQ(left, -right);
        return static_cast<int32_t>(left) - 1;
    }

    SyntheticTable table = SyntheticTable::recordMarkers();
    EngineRig rig{table, tier()};
};

} // namespace

INSTANTIATE_ON_EACH_VECTOR_TIER(EarFilters);
ON_EACH_VECTOR_TIER(EarFilterSpectra);

TEST_P(EarFilters, DirectionSelectsItsRecord) {
    EXPECT_EQ(recordFor(0.5f, 0.5f), 612);
    EXPECT_EQ(recordFor(0.0f, 0.0f), 0);
    EXPECT_EQ(recordFor(1.0f, 1.0f), 1249);
    EXPECT_EQ(recordFor(1.0f, 0.0f), 24);
    EXPECT_EQ(recordFor(0.0f, 1.0f), 25 * 49);
}

TEST_P(EarFilters, BandEdges) {
    EXPECT_EQ(recordFor(0.9603f, 0.0f), 23);
    EXPECT_EQ(recordFor(0.9604f, 0.0f), 24);
    EXPECT_EQ(recordFor(0.0f, 0.9801f), 25 * 48);
    EXPECT_EQ(recordFor(0.0f, 0.9802f), 25 * 49);
    EXPECT_EQ(recordFor(0.04f, 0.02f), 0);          // just below the first band edges
    EXPECT_EQ(recordFor(0.0401f, 0.0201f), 1 + 25); // just above
}

TEST_P(EarFilters, ValuesOutsideTheRangeStayInTheTable) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(recordFor(1.5f, 7.0f), 1249);
    EXPECT_EQ(recordFor(inf, inf), 1249);
    EXPECT_EQ(recordFor(-0.03f, -0.01f), 0);
    EXPECT_EQ(recordFor(-5.0f, -inf), 0);
    EXPECT_EQ(recordFor(nan, nan), 0);
    EXPECT_EQ(recordFor(nan, 1.0f), 1225);
}

TEST_P(EarFilterSpectra, HoldTheScaledRecordZeroPadded) {
    const SyntheticTable table = SyntheticTable::random(3);
    EngineRig rig(table, tier());
    rig.engine->computeEarFilters();
    for (Ear ear : {Ear::left, Ear::right}) {
        const double* taps = rig.engine->hrir(ear);
        const double* spectrum = rig.engine->earFilter(ear);
        double sum = 0, alternating = 0;
        for (int32_t t = 0; t < 256; ++t) {
            const int16_t stored = table.tap(ear, 612, t);
            ASSERT_EQ(taps[t], stored / 32768.0);
            sum += stored;
            alternating += (t % 2 ? -1 : 1) * stored;
        }
        for (int32_t t = 256; t < 2048; ++t)
            ASSERT_EQ(taps[t], 0.0);
        EXPECT_NEAR(spectrum[0], sum / 32768.0, 1e-12);
        EXPECT_NEAR(spectrum[1024], alternating / 32768.0, 1e-12);
    }
}

TEST_P(EarFilterSpectra, AllZeroRecordGivesSilence) {
    SyntheticTable table = SyntheticTable::random(4);
    for (int32_t t = 0; t < 256; ++t)
        table.setTap(Ear::right, 612, t, 0);
    EngineRig rig(table, tier());
    const auto output = rig.runFloat(enginetest::randomStereo(5000, 9), {512});
    for (size_t i = 0; i < output.frames(); ++i)
        ASSERT_EQ(output.right[i], 0.0) << i;
    double energy = 0;
    for (double v : output.left)
        energy += v * v;
    EXPECT_GT(energy, 0.0);
}
