// The plug-in driven from several threads at once, as hosts do: parameters set from the user
// interface and automation threads while the audio thread renders, and many instances rendering
// in parallel. Run under ThreadSanitizer too.
#include "tests/support/TestHost.h"
#include "tools/plugin-loader/PluginLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace {

constexpr int32_t kHostBlock = 512;
constexpr size_t kImpulseAt = 4096;

// One instance created through the entry point, as a host creates it.
class Instance {
  public:
    Instance() : effect(testhost::lookUp("VSTPluginMain")(&loader::silentHostCallback)) {
        if (effect) effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    }
    ~Instance() {
        if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    void set(int32_t index, float value) { effect->setParameter(effect, index, value); }
    float get(int32_t index) { return effect->getParameter(effect, index); }

    // Renders `input` (the same signal on both channels) in host blocks; answers left, right.
    std::vector<float> render(const std::vector<float>& input) {
        std::vector<float> inL(kHostBlock), inR(kHostBlock), outL(kHostBlock), outR(kHostBlock);
        float* inputs[] = {inL.data(), inR.data()};
        float* outputs[] = {outL.data(), outR.data()};
        std::vector<float> output;
        output.reserve(2 * input.size());
        for (size_t start = 0; start < input.size(); start += kHostBlock) {
            for (int32_t i = 0; i < kHostBlock; ++i) {
                const size_t t = start + static_cast<size_t>(i);
                inL[i] = inR[i] = t < input.size() ? input[t] : 0.0f;
            }
            effect->processReplacing(effect, inputs, outputs, kHostBlock);
            for (int32_t i = 0; i < kHostBlock; ++i) {
                output.push_back(outL[i]);
                output.push_back(outR[i]);
            }
        }
        return output;
    }

    AEffect* effect;
};

std::vector<float> noise(size_t frames, uint32_t seed) {
    std::vector<float> signal(frames);
    for (float& v : signal) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<float>(seed >> 8) / static_cast<float>(1u << 24) - 0.5f;
    }
    return signal;
}

// Silence long enough to empty the engine's queues, then an impulse and its response.
std::vector<float> impulseAfterSilence() {
    std::vector<float> signal(2 * kImpulseAt, 0.0f);
    signal[kImpulseAt] = 1.0f;
    return signal;
}

} // namespace

TEST(Threads, TwoThreadsSetParametersWhileTheAudioThreadRenders) {
    Instance plugin;
    ASSERT_NE(plugin.effect, nullptr);
    // The host's audio thread renders a whole number of 1024-frame engine blocks.
    constexpr int kAudioBlocks = 160;
    static_assert(kAudioBlocks * kHostBlock % 1024 == 0);
    std::atomic<bool> rendering{true};
    std::atomic<int> changes{0};

    std::atomic<size_t> nonFinite{0};

    std::thread audio([&] {
        const std::vector<float> signal = noise(kAudioBlocks * kHostBlock, 7);
        for (float v : plugin.render(signal))
            if (!std::isfinite(v)) nonFinite.fetch_add(1);
        rendering = false;
    });
    // The user interface and automation both move both parameters and read them back; once
    // both have stopped, each makes one last change of its own parameter.
    std::atomic<int> stopped{0};
    auto setter = [&](int32_t own, float last) {
        for (int i = 0; rendering.load() || i < 200; ++i) {
            plugin.set(i % 2, static_cast<float>((i * 7 + own * 13) % 101) / 100.0f);
            (void)plugin.get((i + 1) % 2);
            // Restoring a session selects the program again while automation plays.
            if (own == 0 && i % 16 == 0)
                plugin.effect->dispatcher(plugin.effect, effSetProgram, 0, 0, nullptr, 0.0f);
            changes.fetch_add(1);
        }
        stopped.fetch_add(1);
        while (stopped.load() < 2)
            std::this_thread::yield();
        plugin.set(own, last);
    };
    std::thread interface(setter, 0, 0.0f);
    std::thread automation(setter, 1, 0.5f);
    audio.join();
    interface.join();
    automation.join();
    EXPECT_GT(changes.load(), 400);
    EXPECT_EQ(nonFinite.load(), 0u);

    // The last change of each thread is the one that is heard: after it the instance renders
    // exactly as a fresh instance set to the same direction.
    EXPECT_EQ(plugin.get(0), 0.0f);
    EXPECT_EQ(plugin.get(1), 0.5f);
    Instance reference;
    reference.set(0, 0.0f);
    reference.set(1, 0.5f);
    const std::vector<float> impulse = impulseAfterSilence();
    const std::vector<float> heard = plugin.render(impulse);
    const std::vector<float> fresh = reference.render(impulse);
    // From the impulse on; before it the instance still delivers the tail of the noise.
    const auto from = static_cast<std::ptrdiff_t>(2 * kImpulseAt);
    EXPECT_TRUE(std::equal(heard.begin() + from, heard.end(), fresh.begin() + from));
    EXPECT_NE(std::count(fresh.begin() + from, fresh.end(), 0.0f),
              fresh.end() - fresh.begin() - from);
}

TEST(Threads, ABlockSizeSetWhileTheAudioThreadRendersLeavesTheStreamAlone) {
    Instance plugin;
    Instance reference;
    ASSERT_NE(plugin.effect, nullptr);
    ASSERT_NE(reference.effect, nullptr);
    const std::vector<float> signal = noise(160 * kHostBlock, 11);
    std::atomic<bool> rendering{true};
    std::vector<float> heard;
    std::thread audio([&] {
        heard = plugin.render(signal);
        rendering = false;
    });
    // Every size larger than the last, as a host that reconfigures while playing might send.
    int calls = 0;
    std::thread host([&] {
        for (; rendering.load() && calls < 200; ++calls)
            plugin.effect->dispatcher(plugin.effect, effSetBlockSize, 0, 4096 * (calls + 2),
                                      nullptr, 0.0f);
    });
    audio.join();
    host.join();
    EXPECT_GT(calls, 0);
    EXPECT_EQ(heard, reference.render(signal));
}

// Hosts set the rate on their own thread while the audio thread renders, sometimes rates that
// name no rate at all; the new table is made there and waits for the next resume.
TEST(Threads, TheRateIsSetOnAnotherThreadWhileTheAudioThreadRenders) {
    Instance plugin;
    ASSERT_NE(plugin.effect, nullptr);
    std::atomic<bool> rendering{true};
    std::atomic<size_t> nonFinite{0};
    std::thread audio([&] {
        const std::vector<float> signal = noise(80 * kHostBlock, 3);
        for (float v : plugin.render(signal))
            if (!std::isfinite(v)) nonFinite.fetch_add(1);
        rendering = false;
    });
    const float rates[] = {48000.0f, 0.0f, 22050.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                           44100.0f};
    for (size_t set = 0; rendering.load() || set < std::size(rates); ++set)
        plugin.effect->dispatcher(plugin.effect, effSetSampleRate, 0, 0, nullptr,
                                  rates[set % std::size(rates)]);
    audio.join();
    EXPECT_EQ(nonFinite.load(), 0u);

    // The rate set last is heard after the next resume, as in a fresh instance set to it.
    plugin.effect->dispatcher(plugin.effect, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    plugin.effect->dispatcher(plugin.effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    Instance reference;
    reference.effect->dispatcher(reference.effect, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    reference.effect->dispatcher(reference.effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    const std::vector<float> impulse = impulseAfterSilence();
    EXPECT_TRUE(plugin.render(impulse) == reference.render(impulse));
}

TEST(Threads, EightInstancesRenderOnEightThreads) {
    constexpr int kInstances = 8;
    constexpr size_t kFrames = 24 * 1024;
    std::vector<std::vector<float>> inputs, expected(kInstances), rendered(kInstances);
    for (int n = 0; n < kInstances; ++n)
        inputs.push_back(noise(kFrames, 100 + n));
    // Each instance at its own direction, rendered alone first.
    auto direction = [](int n, Instance& instance) {
        instance.set(0, static_cast<float>(n) / (kInstances - 1));
        instance.set(1, 1.0f - static_cast<float>(n) / (kInstances - 1));
    };
    for (int n = 0; n < kInstances; ++n) {
        Instance alone;
        ASSERT_NE(alone.effect, nullptr);
        direction(n, alone);
        expected[n] = alone.render(inputs[n]);
    }

    // Then all at once, each created, driven and closed on a thread of its own.
    std::vector<std::thread> threads;
    for (int n = 0; n < kInstances; ++n)
        threads.emplace_back([&, n] {
            Instance instance;
            if (!instance.effect) return;
            direction(n, instance);
            rendered[n] = instance.render(inputs[n]);
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int n = 0; n < kInstances; ++n)
        EXPECT_EQ(rendered[n], expected[n]) << "instance " << n;
}
