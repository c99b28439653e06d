#include "engine/EngineConstants.h"
#include "tests/engine/EngineRig.h"
#include "tests/support/EachVectorTier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

using enginetest::EngineRig;
using enginetest::Stereo;
using enginetest::SyntheticTable;
using vorpane::Ear;

namespace {

constexpr size_t kDelay = 1791;

Stereo impulse(size_t frames, size_t at, Ear ear) {
    Stereo signal(frames);
    (ear == Ear::left ? signal.left : signal.right)[at] = 1.0;
    return signal;
}

} // namespace

ON_EACH_VECTOR_TIER(ConvolverDelay);
ON_EACH_VECTOR_TIER(ConvolverFaultyInput);
ON_EACH_VECTOR_TIER(ConvolverParameters);
ON_EACH_VECTOR_TIER(ConvolverResume);
ON_EACH_VECTOR_TIER(ConvolverSettling);
ON_EACH_VECTOR_TIER(ConvolverStreaming);

TEST_P(ConvolverDelay, SilentUntilTheDelayHasPassed) {
    EngineRig rig(SyntheticTable::random(1), tier());
    Stereo input = enginetest::randomStereo(6000, 2);
    const Stereo output = rig.runFloat(input, {300});
    for (size_t i = 0; i < kDelay; ++i) {
        ASSERT_EQ(output.left[i], 0.0) << i;
        ASSERT_EQ(output.right[i], 0.0) << i;
    }
    EXPECT_NE(output.left[kDelay], 0.0);
    EXPECT_NE(output.right[kDelay], 0.0);
}

TEST_P(ConvolverDelay, ImpulseLeavesThroughTapZeroOnItsOwnSide) {
    for (size_t at : {size_t{0}, size_t{700}, size_t{1023}, size_t{1024}, size_t{3000}}) {
        EngineRig rig(SyntheticTable::tapZeroOnly(16384), tier());
        const Stereo output = rig.runFloat(impulse(8000, at, Ear::left), {137});
        for (size_t i = 0; i < output.frames(); ++i) {
            ASSERT_NEAR(output.left[i], i == at + kDelay ? 0.5 : 0.0, 1e-12) << at << " " << i;
            ASSERT_EQ(output.right[i], 0.0) << at << " " << i;
        }
    }
}

TEST_P(ConvolverDelay, FirstBlockBuildsTheFiltersWhateverTheFlagSaidBefore) {
    EngineRig rig(SyntheticTable::tapZeroOnly(16384), tier());
    rig.filtersDirty = false;
    rig.engine = std::make_unique<vorpane::BlockConvolver>(rig.table.view(), rig.azimuth,
                                                           rig.elevation, rig.filtersDirty, tier());
    const Stereo output = rig.runFloat(impulse(4000, 10, Ear::right), {512});
    EXPECT_NEAR(output.right[10 + kDelay], 0.5, 1e-12);
}

TEST_P(ConvolverStreaming, OutputDoesNotDependOnTheHostBlockSize) {
    const SyntheticTable table = SyntheticTable::random(5);
    const Stereo input = enginetest::randomStereo(20000, 6);
    // Direction changes in blocks 1 and 2 (which fades from the fade before it), two in block
    // 8, one in block 14.
    const std::vector<enginetest::ParameterChange> changes = {
        {1500, 0, 0.1f}, {2100, 1, 0.9f}, {9000, 0, 0.7f}, {9001, 1, 0.3f}, {15000, 0, 0.0f}};
    EngineRig reference(table, tier());
    const Stereo expected = reference.runFloat(input, {1024}, changes);

    std::mt19937 generator(8);
    std::uniform_int_distribution<int32_t> size(0, 3000);
    std::vector<int32_t> mixed(200);
    for (int32_t& s : mixed)
        s = size(generator);
    mixed[3] = 1;
    mixed[4] = 4096;

    for (const std::vector<int32_t>& calls : std::vector<std::vector<int32_t>>{
             {1}, {64}, {1000}, {4096}, {1, 2047, 0, 5000, 3}, mixed}) {
        EngineRig rig(table, tier());
        const Stereo output = rig.runFloat(input, calls, changes);
        ASSERT_EQ(output.left, expected.left) << "first call size " << calls[0];
        ASSERT_EQ(output.right, expected.right) << "first call size " << calls[0];
    }
}

TEST_P(ConvolverStreaming, QueueLengthsAfterTheFirstCall) {
    const SyntheticTable table = SyntheticTable::random(7);
    struct Case {
        int32_t frames;
        size_t input, output;
    };
    for (const Case& c : {Case{512, 512, 1535}, Case{1024, 0, 2047}, Case{3000, 952, 1095}}) {
        EngineRig rig(table, tier());
        rig.runFloat(Stereo(static_cast<size_t>(c.frames)), {c.frames});
        EXPECT_EQ(rig.engine->inputQueueLength(), c.input) << c.frames;
        EXPECT_EQ(rig.engine->outputQueueLength(), c.output) << c.frames;
    }
}

TEST_P(ConvolverStreaming, NegativeAndZeroCountsDoNothing) {
    EngineRig rig(SyntheticTable::random(7), tier());
    float sample = 3.0f;
    float* inputs[] = {&sample, &sample};
    float* outputs[] = {&sample, &sample};
    rig.engine->processReplacing(inputs, outputs, 0);
    rig.engine->processReplacing(inputs, outputs, -5);
    EXPECT_EQ(sample, 3.0f);
    EXPECT_EQ(rig.engine->inputQueueLength(), 0u);
    EXPECT_EQ(rig.engine->outputQueueLength(), 2047u);
}

TEST_P(ConvolverResume, PendingInputComesFirstAndNewInputKeepsTheReportedDelay) {
    EngineRig rig(SyntheticTable::tapZeroOnly(16384), tier());
    // 1324 frames: one block rendered, 300 left waiting, the impulse at frame 100 of them.
    rig.runFloat(impulse(1324, 1124, Ear::left), {1324});
    ASSERT_EQ(rig.engine->inputQueueLength(), 300u);
    rig.engine->resume();
    EXPECT_EQ(rig.engine->inputQueueLength(), 300u);
    EXPECT_EQ(rig.engine->outputQueueLength(), 2047u - 300u);

    // The waiting frames come out just before the new input, which is delayed by exactly the
    // reported latency, however much was waiting.
    const Stereo output = rig.runFloat(impulse(6000, 50, Ear::right), {256});
    for (size_t i = 0; i < output.frames(); ++i) {
        ASSERT_NEAR(output.left[i], i == kDelay - 300 + 100 ? 0.5 : 0.0, 1e-12) << i;
        ASSERT_NEAR(output.right[i], i == kDelay + 50 ? 0.5 : 0.0, 1e-12) << i;
    }
    EXPECT_EQ(rig.engine->inputQueueLength() + rig.engine->outputQueueLength(), 2047u);
}

TEST_P(ConvolverResume, WithNothingWaitingTheOutputRestartsWithTheFullDelay) {
    EngineRig rig(SyntheticTable::tapZeroOnly(16384), tier());
    rig.runFloat(impulse(2048, 10, Ear::left), {512});
    rig.engine->resume();
    EXPECT_EQ(rig.engine->outputQueueLength(), 2047u);
    const Stereo output = rig.runFloat(impulse(4096, 7, Ear::left), {64});
    for (size_t i = 0; i < output.frames(); ++i)
        ASSERT_NEAR(output.left[i], i == kDelay + 7 ? 0.5 : 0.0, 1e-12) << i;
}

TEST_P(ConvolverParameters, ChangeFadesOverTheNextBlock) {
    EngineRig rig(SyntheticTable::recordMarkers(), tier());
    // Calls of 100 frames; the change arrives after frame 1500, inside block 1, which is
    // rendered by the call that completes it and fades from the old direction to the new one.
    Stereo first(1500), second(6500);
    std::fill(first.left.begin(), first.left.end(), 1.0);
    std::fill(second.left.begin(), second.left.end(), 1.0);
    const Stereo before = rig.runFloat(first, {100});
    rig.setParameter(0, 0.0f); // record 0 + 25 * 24 = 600
    const Stereo after = rig.runFloat(second, {100});
    std::vector<double> left(before.left);
    left.insert(left.end(), after.left.begin(), after.left.end());
    for (size_t i = kDelay; i < kDelay + 1024; ++i)
        ASSERT_EQ(left[i], 613 / 32768.0) << i;
    // Smoothly down, from next to the old response to next to the new one.
    EXPECT_NEAR(left[kDelay + 1024], 613 / 32768.0, 1e-9);
    EXPECT_NEAR(left[kDelay + 2047], 601 / 32768.0, 1e-9);
    for (size_t i = kDelay + 1024; i < kDelay + 2047; ++i)
        ASSERT_LE(left[i + 1], left[i]) << i;
    EXPECT_NEAR(left[kDelay + 1536], 607 / 32768.0, 0.1 / 32768.0);
    for (size_t i = kDelay + 2048; i < left.size(); ++i)
        ASSERT_EQ(left[i], 601 / 32768.0) << i;
}

TEST_P(ConvolverParameters, FirstBlockAfterConstructionOrResumeTakesTheDirectionAtOnce) {
    // A host restoring a session resumes, sets the parameters and then processes: the first
    // block has nothing before it to fade from.
    Stereo ones(4096);
    std::fill(ones.left.begin(), ones.left.end(), 1.0);
    EngineRig rig(SyntheticTable::recordMarkers(), tier());
    rig.setParameter(1, 0.0f); // record 12
    const Stereo fresh = rig.runFloat(ones, {256});
    rig.engine->resume();
    rig.setParameter(0, 1.0f); // record 24
    const Stereo resumed = rig.runFloat(ones, {256});
    for (size_t i = kDelay; i < ones.frames(); ++i) {
        ASSERT_EQ(fresh.left[i], 13 / 32768.0) << i;
        ASSERT_EQ(resumed.left[i], 25 / 32768.0) << i;
    }
}

TEST_P(ConvolverParameters, TheSameDirectionAgainChangesNothing) {
    const SyntheticTable table = SyntheticTable::random(17);
    const Stereo input = enginetest::randomStereo(12000, 18);
    EngineRig reference(table, tier());
    const Stereo expected = reference.runFloat(input, {512});
    EngineRig rig(table, tier());
    Stereo output(input.frames());
    for (size_t done = 0; done < input.frames(); done += 500) {
        rig.setParameter(0, 0.5f + 0.01f * (done % 3)); // the same azimuth step, 12
        const size_t frames = std::min<size_t>(500, input.frames() - done);
        Stereo part(frames);
        std::copy_n(input.left.begin() + done, frames, part.left.begin());
        std::copy_n(input.right.begin() + done, frames, part.right.begin());
        const Stereo rendered = rig.runFloat(part, {500});
        std::copy(rendered.left.begin(), rendered.left.end(), output.left.begin() + done);
        std::copy(rendered.right.begin(), rendered.right.end(), output.right.begin() + done);
    }
    EXPECT_EQ(output.left, expected.left);
    EXPECT_EQ(output.right, expected.right);
}

TEST_P(ConvolverSettling, ConstantAndAlternatingInputsSettleToTapSums) {
    const SyntheticTable table = SyntheticTable::random(12);
    EngineRig rig(table, tier());
    Stereo input(8000);
    for (size_t i = 0; i < input.frames(); ++i) {
        input.left[i] = 1.0;
        input.right[i] = (i % 2 == 0) ? 1.0 : -1.0;
    }
    const Stereo output = rig.runFloat(input, {512});
    double sum = 0, alternating = 0;
    for (int32_t t = 0; t < 256; ++t) {
        sum += table.tap(Ear::left, 612, t);
        alternating += (t % 2 ? -1 : 1) * table.tap(Ear::right, 612, t);
    }
    sum /= 32768.0;
    alternating /= 32768.0;
    for (size_t i = kDelay + 1024 + 256; i < output.frames(); ++i) {
        const double sign = ((i - kDelay) % 2 == 0) ? 1.0 : -1.0;
        ASSERT_NEAR(output.left[i], sum, 1e-6 * std::abs(sum) + 1e-9) << i;
        ASSERT_NEAR(output.right[i], sign * alternating, 1e-6 * std::abs(alternating) + 1e-9) << i;
    }
}

TEST_P(ConvolverFaultyInput, NotANumberOrInfinitySpoilsOnlyTheOutputOfItsOwnBlock) {
    const SyntheticTable table = SyntheticTable::random(13);
    const Stereo clean = enginetest::randomStereo(12000, 14);
    EngineRig reference(table, tier());
    const Stereo expected = reference.runFloat(clean, {300});

    // Frame 2500 lies in block 2, whose 1279 result samples start at output frame 1791 + 2048;
    // the next block's first 255 samples overlap them.
    const size_t blockStart = kDelay + 2 * 1024;
    const size_t spoiledEnd = blockStart + 1279;
    for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        Stereo input = clean;
        input.left[2500] = bad;
        input.right[2500] = bad;
        EngineRig rig(table, tier());
        const Stereo output = rig.runFloat(input, {300});
        for (size_t i = 0; i < output.frames(); ++i) {
            if (i >= blockStart && i < spoiledEnd) continue;
            ASSERT_EQ(output.left[i], expected.left[i]) << bad << " " << i;
            ASSERT_EQ(output.right[i], expected.right[i]) << bad << " " << i;
        }
    }
}

TEST_P(ConvolverStreaming, InPlaceBuffersGiveTheSameOutput) {
    // Hosts often hand over the same buffers for input and output; every call size reads its
    // input before it writes its output.
    const SyntheticTable table = SyntheticTable::random(15);
    const Stereo input = enginetest::randomStereo(6000, 16);
    EngineRig reference(table, tier());
    const Stereo expected = reference.runFloat(input, {1000});
    for (int32_t size : {1, 3, 64, 1023, 1024, 2500}) {
        EngineRig rig(table, tier());
        Stereo output(input.frames());
        std::vector<float> left(static_cast<size_t>(size)), right(static_cast<size_t>(size));
        for (size_t done = 0; done < input.frames(); done += static_cast<size_t>(size)) {
            const size_t frames = std::min(static_cast<size_t>(size), input.frames() - done);
            for (size_t i = 0; i < frames; ++i) {
                left[i] = static_cast<float>(input.left[done + i]);
                right[i] = static_cast<float>(input.right[done + i]);
            }
            float* buffers[] = {left.data(), right.data()};
            rig.engine->processReplacing(buffers, buffers, static_cast<int32_t>(frames));
            for (size_t i = 0; i < frames; ++i) {
                output.left[done + i] = left[i];
                output.right[done + i] = right[i];
            }
        }
        ASSERT_EQ(output.left, expected.left) << size;
        ASSERT_EQ(output.right, expected.right) << size;
    }
}
