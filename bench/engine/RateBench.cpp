// The cost of the host's rate, in one process, in alternating rounds:
//  - effSetSampleRate at 48, 96 and 192 kHz on a new instance, when no other instance runs at
//    that rate (the table is resampled in the call) and when one does (the table is shared);
//  - processReplacing for one second of audio at 96 kHz against one second at 44.1 kHz, in
//    512-frame host blocks, with the memory the rates' tables take.
// The summary at the end gives medians over the rounds and their ratios. Machines shared with
// other work make single runs unreliable; only the ratios of one run are meaningful.
#include "engine/EarTableCache.h"
#include "plugin/AVorpane.h"
#include "tools/plugin-loader/PluginLibrary.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 5;
const float kRates[] = {48000.0f, 96000.0f, 192000.0f};

std::unique_ptr<AVorpane> instanceAt(float rate) {
    auto plugin = std::make_unique<AVorpane>(&loader::silentHostCallback);
    AEffect* effect = plugin->getAeffect();
    if (rate != 44100.0f) effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, rate);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    return plugin;
}

// Unshared: the instance goes back to 44.1 kHz between the timed calls (not timed), which lets
// the rate's table go, so each timed call resamples it again. Shared: another instance already
// renders at the rate, and the call only finds its table.
void BM_SetSampleRate(benchmark::State& state, float rate, bool shared) {
    const std::unique_ptr<AVorpane> running = shared ? instanceAt(rate) : nullptr;
    const std::unique_ptr<AVorpane> plugin = instanceAt(44100.0f);
    AEffect* effect = plugin->getAeffect();
    for (auto _ : state) {
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, rate);
        state.PauseTiming();
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        state.ResumeTiming();
    }
}

// One second of audio at the rate, in 512-frame host blocks.
void BM_OneSecond(benchmark::State& state, float rate) {
    const std::unique_ptr<AVorpane> plugin = instanceAt(rate);
    AEffect* effect = plugin->getAeffect();
    constexpr int32_t kBlock = 512;
    std::mt19937 random(3);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
    for (int32_t i = 0; i < kBlock; ++i) {
        inL[i] = noise(random);
        inR[i] = noise(random);
    }
    float* inputs[] = {inL.data(), inR.data()};
    float* outputs[] = {outL.data(), outR.data()};
    const auto blocks = static_cast<int32_t>(rate / kBlock);
    for (auto _ : state) {
        for (int32_t b = 0; b < blocks; ++b)
            effect->processReplacing(effect, inputs, outputs, kBlock);
        benchmark::DoNotOptimize(outL.data());
    }
}

std::string rateName(float rate) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g kHz", rate / 1000.0);
    return text;
}

class MedianReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, std::vector<double>> seconds;

    void ReportRuns(const std::vector<Run>& report) override {
        for (const Run& run : report)
            if (!run.error_occurred && run.iterations > 0)
                seconds[run.run_name.function_name].push_back(run.GetAdjustedRealTime() * 1e-3);
        ConsoleReporter::ReportRuns(report);
    }
    double median(const std::string& name) const {
        std::vector<double> v = seconds.at(name);
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
};

void registerRound() {
    for (float rate : kRates) {
        benchmark::RegisterBenchmark(
            ("effSetSampleRate/" + rateName(rate)).c_str(),
            [rate](benchmark::State& s) { BM_SetSampleRate(s, rate, false); })
            ->MinTime(0.3)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            ("effSetSampleRate/" + rateName(rate) + ", shared").c_str(),
            [rate](benchmark::State& s) { BM_SetSampleRate(s, rate, true); })
            ->MinTime(0.1)
            ->Unit(benchmark::kMillisecond);
    }
    for (float rate : {44100.0f, 96000.0f})
        benchmark::RegisterBenchmark(("one second of audio/" + rateName(rate)).c_str(),
                                     [rate](benchmark::State& s) { BM_OneSecond(s, rate); })
            ->MinTime(0.3)
            ->Unit(benchmark::kMillisecond);
}

void printSummary(const MedianReporter& r) {
    std::printf("\n== Summary: medians of %d alternating rounds (wall-clock time)\n", kRounds);
    for (float rate : kRates)
        std::printf("effSetSampleRate at %s: %.1f ms resampling the table, %.3f ms sharing it\n",
                    rateName(rate).c_str(), r.median("effSetSampleRate/" + rateName(rate)) * 1e3,
                    r.median("effSetSampleRate/" + rateName(rate) + ", shared") * 1e3);
    const double at44 = r.median("one second of audio/44.1 kHz");
    const double at96 = r.median("one second of audio/96 kHz");
    std::printf("One second of audio: %.2f ms at 44.1 kHz, %.2f ms at 96 kHz: %.2fx\n", at44 * 1e3,
                at96 * 1e3, at96 / at44);
    for (float rate : {96000.0f, 192000.0f}) {
        const auto table = vorpane::builtInEarTable(rate);
        std::printf("The table at %s: %d taps a record, %.2f MB for all instances at that rate\n",
                    rateName(rate).c_str(), table->taps(), table->bytes() / 1e6);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (int round = 0; round < kRounds; ++round)
        registerRound();
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    try {
        printSummary(reporter);
    } catch (const std::out_of_range&) {
        std::printf("(no summary: a filter left out runs that it compares)\n");
    }
    benchmark::Shutdown();
    return 0;
}
