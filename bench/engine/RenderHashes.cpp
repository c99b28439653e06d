// Prints a hash of the engine's output for a grid of renders: at 44.1, 96 and 192 kHz (the
// longest responses), with the widest vector instructions the processor has and with SSE2 only,
// host block sizes 1, 17, 64, 512 and 4096, each with a fixed direction, a direction that moves
// every few hundred frames (fades that start while the previous one runs) and one that changes
// now and then (a fade, then a steady stretch). The input is noise with negative zeros and a
// silent stretch in it.
//
// An optimisation of the engine must leave every line unchanged: run it before and after, on the
// same machine and build type, and compare. The hashes depend on the vector instructions the
// processor has, which the first line names.
#include "engine/BlockConvolver.h"
#include "engine/EarTable.h"
#include "engine/HrirTable.h"
#include "engine/TableResampler.h"

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr size_t kFrames = 60000;

struct Change {
    size_t frame;
    float azimuth, elevation;
};

std::vector<float> noise(uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> x(kFrames);
    for (size_t i = 0; i < kFrames; ++i)
        x[i] = value(generator);
    for (size_t i = 20000; i < 23000; ++i) // silence, some of it negative zeros
        x[i] = (i % 3 == 0) ? -0.0f : 0.0f;
    for (size_t i = 7; i < kFrames; i += 97)
        x[i] = -0.0f;
    return x;
}

std::vector<Change> changesEvery(size_t interval, uint32_t seed) {
    std::vector<Change> changes;
    if (interval == 0) return changes;
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (size_t frame = interval / 3; frame < kFrames; frame += interval + frame % 211)
        changes.push_back({frame, value(generator), value(generator)});
    return changes;
}

uint64_t hashOf(const std::vector<float>& left, const std::vector<float>& right) {
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const std::vector<float>* channel : {&left, &right})
        for (float v : *channel) {
            uint32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            for (int byte = 0; byte < 4; ++byte) {
                hash ^= (bits >> (8 * byte)) & 0xFF;
                hash *= 1099511628211ull;
            }
        }
    return hash;
}

uint64_t render(const std::shared_ptr<const vorpane::EarTable>& table, fftreal::VectorTier tier,
                int32_t hostBlock, const std::vector<Change>& changes) {
    std::atomic<float> azimuth{0.3f}, elevation{0.6f};
    std::atomic<bool> filtersDirty{true};
    auto engine =
        std::make_unique<vorpane::BlockConvolver>(table, azimuth, elevation, filtersDirty, tier);
    const std::vector<float> inLeft = noise(1), inRight = noise(2);
    std::vector<float> outLeft(kFrames), outRight(kFrames);
    size_t done = 0, next = 0;
    while (done < kFrames) {
        for (; next < changes.size() && changes[next].frame <= done; ++next) {
            azimuth.store(changes[next].azimuth);
            elevation.store(changes[next].elevation);
            filtersDirty.store(true);
        }
        size_t frames = std::min<size_t>(static_cast<size_t>(hostBlock), kFrames - done);
        if (next < changes.size()) frames = std::min(frames, changes[next].frame - done);
        float* in[2] = {const_cast<float*>(inLeft.data() + done),
                        const_cast<float*>(inRight.data() + done)};
        float* out[2] = {outLeft.data() + done, outRight.data() + done};
        engine->processReplacing(in, out, static_cast<int32_t>(frames));
        done += frames;
    }
    return hashOf(outLeft, outRight);
}

} // namespace

int main() {
    {
        // The vector instructions the engine's transform uses on this processor.
        FFTReal<double> fft(vorpane::kTransformLength);
        std::printf("tier %s\n",
                    fft.get_vector_tier() == fftreal::VectorTier::avx2_fma ? "avx2_fma" : "sse2");
    }
    const struct {
        const char* name;
        size_t interval;
    } directions[] = {{"fixed", 0}, {"moving", 300}, {"faded", 5000}};
    for (double rate : {44100.0, 96000.0, 192000.0}) {
        const auto table = std::make_shared<const vorpane::EarTable>(
            vorpane::resampleTable(vorpane::embeddedHrirTable(), rate));
        for (fftreal::VectorTier tier : {fftreal::VectorTier::avx2_fma, fftreal::VectorTier::sse2})
            for (const auto& direction : directions)
                for (int32_t hostBlock : {1, 17, 64, 512, 4096})
                    std::printf(
                        "%6.0f %-8s %-6s %4d %016" PRIx64 "\n", rate,
                        tier == fftreal::VectorTier::sse2 ? "sse2" : "widest", direction.name,
                        hostBlock,
                        render(table, tier, hostBlock, changesEvery(direction.interval, 7)));
    }
    return 0;
}
