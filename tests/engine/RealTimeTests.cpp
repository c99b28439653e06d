// Processing allocates nothing once the host has announced its block size.
#include "lv2/Lv2Panner.h"
#include "lv2/Lv2Ports.h"
#include "plugin/AVorpane.h"
#include "tools/plugin-loader/PluginLibrary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

std::atomic<bool> counting{false};
std::atomic<size_t> allocations{0};

void* allocate(size_t size, size_t alignment = alignof(std::max_align_t)) {
    if (counting.load()) allocations.fetch_add(1);
    size = size ? size : 1;
    void* p = alignment <= alignof(std::max_align_t)
                  ? std::malloc(size)
                  : std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    if (p) return p;
    throw std::bad_alloc();
}

// Counts the allocations made while fn runs.
template <class Fn> size_t allocationsDuring(Fn fn) {
    allocations = 0;
    counting = true;
    fn();
    counting = false;
    return allocations.load();
}

class Processing : public ::testing::Test {
  protected:
    void process(int32_t frames) {
        buffer.assign(4 * static_cast<size_t>(frames), 0.25f);
        float* inputs[] = {buffer.data(), buffer.data() + frames};
        float* outputs[] = {buffer.data() + 2 * frames, buffer.data() + 3 * frames};
        effect->processReplacing(effect, inputs, outputs, frames);
    }
    // Prepares the buffer outside the counted region.
    void processCounted(int32_t frames, size_t& count) {
        buffer.reserve(4 * static_cast<size_t>(frames));
        count += allocationsDuring([&] { process(frames); });
    }

    std::unique_ptr<AVorpane> plugin = std::make_unique<AVorpane>(&loader::silentHostCallback);
    AEffect* effect = plugin->getAeffect();
    std::vector<float> buffer;
};

} // namespace

void* operator new(size_t size) {
    return allocate(size);
}
void* operator new[](size_t size) {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}

TEST_F(Processing, NoAllocationAfterTheBlockSizeIsAnnounced) {
    effect->dispatcher(effect, effSetBlockSize, 0, 16384, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    size_t count = 0;
    for (int round = 0; round < 3; ++round) {
        for (int32_t frames : {16384, 1, 64, 1000, 16384, 3, 4095, 16384}) {
            effect->setParameter(effect, round % 2, 0.1f * static_cast<float>(frames % 10));
            processCounted(frames, count);
        }
        for (int i = 0; i < 3000; ++i)
            processCounted(1, count);
    }
    EXPECT_EQ(count, 0u);
}

TEST_F(Processing, BlocksUpTo4096NeedNoAnnouncement) {
    size_t count = 0;
    for (int32_t frames : {4096, 512, 4096, 1, 4096, 4096, 4096, 2000})
        processCounted(frames, count);
    EXPECT_EQ(count, 0u);
}

TEST_F(Processing, ABlockSizeAnnouncedWhileResumedTakesEffectAtTheNextResume) {
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    // The audio thread may be rendering out of the queues: the announcement leaves them alone.
    EXPECT_EQ(allocationsDuring(
                  [&] { effect->dispatcher(effect, effSetBlockSize, 0, 16384, nullptr, 0.0f); }),
              0u);
    // Until the next resume a longer block grows them on demand, once.
    size_t first = 0, later = 0;
    processCounted(16384, first);
    for (int32_t frames : {16384, 1, 4095, 16384})
        processCounted(frames, later);
    EXPECT_GT(first, 0u);
    EXPECT_EQ(later, 0u);
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    size_t resumed = 0;
    for (int round = 0; round < 3; ++round)
        for (int32_t frames : {16384, 1, 64, 4095, 16384})
            processCounted(frames, resumed);
    EXPECT_EQ(resumed, 0u);
}

TEST_F(Processing, UnannouncedLargerBlocksGrowTheQueues) {
    // The counter sees the growth, so the tests above would see it too.
    size_t count = 0;
    processCounted(50000, count);
    EXPECT_GT(count, 0u);
    count = 0;
    processCounted(50000, count);
    EXPECT_EQ(count, 0u);
}

// LV2 hosts announce no block size, or one that may be exceeded: every length is processed
// without allocating, also while the direction ports change.
TEST(Lv2Run, NoAllocationAtAnyBlockLength) {
    auto plugin = std::make_unique<vorpane::lv2::Lv2Panner>();
    std::vector<float> buffer(4 * 70000, 0.25f);
    float azimuth = 0.0f, elevation = 0.0f, latency = 0.0f;
    plugin->connectPort(vorpane::lv2::kAzimuth, &azimuth);
    plugin->connectPort(vorpane::lv2::kElevation, &elevation);
    plugin->connectPort(vorpane::lv2::kLatency, &latency);
    plugin->activate();
    size_t count = 0;
    for (uint32_t frames : {70000u, 1u, 64u, 1000u, 5000u, 3u, 4097u, 16384u, 70000u}) {
        for (uint32_t port = 0; port < 4; ++port)
            plugin->connectPort(port, buffer.data() + port * frames);
        azimuth += 7.0f;
        elevation -= 11.0f;
        count += allocationsDuring([&] { plugin->run(frames); });
    }
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(latency, 1791.0f);
}
