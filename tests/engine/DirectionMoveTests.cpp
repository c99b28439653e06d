// A sine moved from direction to direction on the built-in table, as automation moves it: what
// each move adds outside the sine's band, against the sine's own level at that ear.
#include "engine/BlockConvolver.h"
#include "engine/HrirTable.h"
#include "fft/FFTReal.h"
#include "tests/engine/EngineRig.h"
#include "tests/support/EachVectorTier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

using enginetest::Stereo;

namespace {

constexpr double kRate = 44100.0;
constexpr size_t kDelay = 1791;
constexpr size_t kSpacing = 4096; // frames between moves: four blocks
constexpr size_t kWindow = 4096;  // frames measured around each move

struct Move {
    float azimuth, elevation;
};

float azimuthValue(int32_t step) {
    return (step + 0.5f) / 24.99f;
}
float elevationValue(int32_t step) {
    return (step + 0.5f) / 49.99f;
}

// The sine on both inputs, in host calls of random sizes; move j arrives before input frame
// kSpacing (j + 1) + offset j, at a random frame inside its block.
Stereo render(double frequency, const std::vector<Move>& moves, std::vector<size_t>& moveFrames,
              fftreal::VectorTier tier) {
    std::mt19937 generator(static_cast<uint32_t>(frequency) + static_cast<uint32_t>(moves.size()));
    std::uniform_int_distribution<size_t> offset(0, 1023);
    std::uniform_int_distribution<size_t> callSize(1, 4096);
    moveFrames.clear();
    for (size_t j = 0; j < moves.size(); ++j)
        moveFrames.push_back(kSpacing * (j + 1) + offset(generator));

    std::atomic<float> azimuth{moves[0].azimuth}, elevation{moves[0].elevation};
    std::atomic<bool> dirty{true};
    vorpane::BlockConvolver engine(vorpane::embeddedHrirTable(), azimuth, elevation, dirty, tier);
    const size_t frames = kSpacing * (moves.size() + 2);
    std::vector<float> inL(frames), outL(frames), outR(frames);
    for (size_t i = 0; i < frames; ++i)
        inL[i] = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * frequency * i / kRate));
    std::vector<float> inR = inL;

    size_t done = 0, next = 1; // move 0 is the starting direction
    while (done < frames) {
        size_t count = std::min(callSize(generator), frames - done);
        if (next < moves.size()) {
            if (done == moveFrames[next]) {
                azimuth = moves[next].azimuth;
                elevation = moves[next].elevation;
                dirty = true;
                ++next;
            }
            if (next < moves.size()) count = std::min(count, moveFrames[next] - done);
        }
        float* inputs[] = {inL.data() + done, inR.data() + done};
        float* outputs[] = {outL.data() + done, outR.data() + done};
        engine.processReplacing(inputs, outputs, static_cast<int32_t>(count));
        done += count;
    }
    Stereo output(frames);
    std::copy(outL.begin(), outL.end(), output.left.begin());
    std::copy(outR.begin(), outR.end(), output.right.begin());
    return output;
}

// Energy above 4 times the frequency, where the sine has nothing, against the energy below, in dB,
// over kWindow frames from start under a 4-term Blackman-Harris window (side lobes below -92 dB).
double outOfBandLevel(const std::vector<double>& signal, size_t start, double frequency) {
    static FFTReal<double> fft(static_cast<int32_t>(kWindow));
    std::vector<double> x(kWindow), f(kWindow);
    for (size_t i = 0; i < kWindow; ++i) {
        const double phase = 2 * std::numbers::pi * i / kWindow;
        const double window = 0.35875 - 0.48829 * std::cos(phase) + 0.14128 * std::cos(2 * phase) -
                              0.01168 * std::cos(3 * phase);
        x[i] = signal[start + i] * window;
    }
    fft.forward_transform(f.data(), x.data());
    double inside = 0, outside = 0;
    for (size_t k = 0; k <= kWindow / 2; ++k) {
        const double im = (k == 0 || k == kWindow / 2) ? 0.0 : f[kWindow / 2 + k];
        const double power = f[k] * f[k] + im * im;
        const double hz = k * kRate / kWindow;
        (hz <= 4 * frequency ? inside : outside) += power;
    }
    return 10 * std::log10(outside / inside);
}

// The worst level, over both ears and every move, that a move adds around its change block: the
// window is centred on the block's 1279 output frames.
double worstMoveLevel(double frequency, const std::vector<Move>& moves, fftreal::VectorTier tier) {
    std::vector<size_t> moveFrames;
    const Stereo output = render(frequency, moves, moveFrames, tier);
    double worst = -400;
    for (size_t j = 1; j < moves.size(); ++j) {
        const size_t changeBlock = moveFrames[j] / 1024;
        const size_t start = kDelay + 1024 * changeBlock + 1279 / 2 - kWindow / 2;
        worst = std::max({worst, outOfBandLevel(output.left, start, frequency),
                          outOfBandLevel(output.right, start, frequency)});
    }
    return worst;
}

} // namespace

ON_EACH_VECTOR_TIER(DirectionMoves);

TEST_P(DirectionMoves, ASineMovedAroundTheHeadGainsNothingOutsideItsBand) {
    if (enginetest::embeddedTableIsEmpty()) GTEST_SKIP() << "the built-in table is a placeholder";
    const int32_t earHeight = 8, front = 12;
    std::vector<Move> azimuthSteps, elevationSteps, jumps;
    for (int32_t a = 0; a < 25; ++a)
        azimuthSteps.push_back({azimuthValue(a), elevationValue(earHeight)});
    for (int32_t e = 0; e < 50; e += 2)
        elevationSteps.push_back({azimuthValue(front), elevationValue(e)});
    std::mt19937 generator(41);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int32_t j = 0; j < 16; ++j)
        jumps.push_back({value(generator), value(generator)});

    for (double frequency : {100.0, 300.0, 1000.0, 4000.0}) {
        // A direction that stays put sets the floor of the measurement.
        EXPECT_LT(worstMoveLevel(frequency, std::vector<Move>(6, azimuthSteps[12]), tier()), -90.0)
            << frequency;
        EXPECT_LT(worstMoveLevel(frequency, azimuthSteps, tier()), -60.0)
            << frequency << " Hz, azimuth";
        EXPECT_LT(worstMoveLevel(frequency, elevationSteps, tier()), -60.0)
            << frequency << " Hz, elevation";
        EXPECT_LT(worstMoveLevel(frequency, jumps, tier()), -60.0) << frequency << " Hz, jumps";
    }
}
