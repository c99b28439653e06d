// The rendered stream against a direct time-domain convolution, block by block with the
// direction each block was rendered with: exact before a block that changes direction, and
// again once that block's 1279 output frames have passed.
#include "engine/HrirTable.h"
#include "tests/engine/EngineRig.h"
#include "tests/support/EachVectorTier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

using enginetest::EngineRig;
using enginetest::Stereo;
using enginetest::SyntheticTable;
using vorpane::Ear;

ON_EACH_VECTOR_TIER(ConvolverReference);

TEST_P(ConvolverReference, MatchesDirectConvolutionOutsideTheFades) {
    const SyntheticTable table = SyntheticTable::random(21);
    EngineRig rig(table, tier());
    const size_t frames = 30 * 1024;
    const Stereo input = enginetest::randomStereo(frames, 22);
    Stereo output(frames);

    std::mt19937 generator(23);
    std::uniform_int_distribution<int32_t> callSize(1, 1500);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    std::bernoulli_distribution change(0.3);

    std::vector<int32_t> blockRecord; // the record each rendered block used
    int32_t currentRecord = vorpane::recordIndex(12, 24);
    size_t done = 0;
    while (done < frames) {
        if (change(generator)) {
            const int32_t index = static_cast<int32_t>(generator() % 2);
            rig.setParameter(index, value(generator));
            currentRecord = vorpane::recordIndex(vorpane::azimuthStep(rig.azimuth),
                                                 vorpane::elevationStep(rig.elevation));
        }
        const size_t count = std::min(static_cast<size_t>(callSize(generator)), frames - done);
        std::vector<double> inL(input.left.begin() + done, input.left.begin() + done + count);
        std::vector<double> inR(input.right.begin() + done, input.right.begin() + done + count);
        double* inputs[] = {inL.data(), inR.data()};
        double* outputs[] = {output.left.data() + done, output.right.data() + done};
        rig.engine->processDoubleReplacing(inputs, outputs, static_cast<int32_t>(count));
        done += count;
        while (blockRecord.size() < done / 1024)
            blockRecord.push_back(currentRecord);
    }
    ASSERT_EQ(blockRecord.size(), 30u);
    EXPECT_GT(std::set<int32_t>(blockRecord.begin(), blockRecord.end()).size(), 4u);
    // A block that changes direction fades; its output frames, tail included, are left out.
    std::vector<bool> fading(frames, false);
    size_t fadingBlocks = 0, fadingInARow = 0;
    for (size_t b = 1; b < blockRecord.size(); ++b) {
        if (blockRecord[b] == blockRecord[b - 1]) continue;
        ++fadingBlocks;
        if (b >= 2 && blockRecord[b - 1] != blockRecord[b - 2]) ++fadingInARow;
        std::fill_n(fading.begin() + 1024 * b, std::min<size_t>(1279, frames - 1024 * b), true);
    }
    EXPECT_GE(fadingBlocks, 5u);
    EXPECT_GE(fadingInARow, 1u); // a block fading from one that faded

    const size_t delay = 1791;
    for (Ear ear : {Ear::left, Ear::right}) {
        const std::vector<double>& x = ear == Ear::left ? input.left : input.right;
        const std::vector<double>& y = ear == Ear::left ? output.left : output.right;
        double largest = 0, error = 0;
        for (size_t t = 0; t + delay < frames; ++t) {
            if (fading[t]) continue;
            double expected = 0;
            for (size_t k = 0; k < 256 && k <= t; ++k) {
                const size_t n = t - k;
                expected +=
                    table.tap(ear, blockRecord[n / 1024], static_cast<int32_t>(k)) / 32768.0 * x[n];
            }
            largest = std::max(largest, std::abs(expected));
            error = std::max(error, std::abs(y[t + delay] - expected));
        }
        EXPECT_GT(largest, 1.0);
        EXPECT_LE(error, 1e-9 * largest) << (ear == Ear::left ? "left" : "right");
    }
}
