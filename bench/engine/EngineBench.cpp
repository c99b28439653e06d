// The engine's speed, side by side with its references, in one process:
//  - FFTReal at the engine's transform length, with the widest vector instructions the processor
//    has and with SSE2 only, against FFTW's real transforms (r2c and c2r, the fast path FFTW
//    recommends, and its half-complex r2r kinds), every call on fresh input copied from a pool of
//    precomputed inputs, the copy timed on both sides alike;
//  - the plug-in's processReplacing, reached through its effect record as a host reaches it,
//    against ZamHeadX2 (Debian's zam-plugins, loaded through its VST entry point), an FFTW engine
//    of the same block design and a direct time-domain convolution, at several host block sizes;
//  - the cost when the direction changes every block, and the longest single call at 64-frame
//    host blocks as a fraction of the block's real-time budget.
// Every comparison runs in rounds that alternate the contenders, and the summary at the end gives
// medians over the rounds and their ratios. Machines shared with other work make single runs
// unreliable; only the ratios of one run are meaningful.
#include "bench/engine/BenchTable.h"
#include "bench/engine/DirectConvolver.h"
#include "bench/engine/FftwBlockEngine.h"
#include "fft/FFTReal.h"
#include "plugin/AVorpane.h"
#include "tools/plugin-loader/PluginHost.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kLength = 2048;
constexpr int kPool = 8; // inputs cycled through, 128 KiB: fresh for the cache of each call
constexpr double kSampleRate = 48000.0;
constexpr int kRounds = 9;
constexpr double kMinTime = 0.15;
const int32_t kHostBlocks[] = {1, 16, 64, 512, 4096};
const char* const kZamFile = "ZamHeadX2-vst.so";

// The first of the usual VST folders that holds this library file, or an empty text.
std::string findVstLibrary(const std::string& fileName) {
    const char* home = std::getenv("HOME");
    const std::string folders[] = {home ? std::string(home) + "/.vst" : std::string(),
                                   "/usr/lib/vst", "/usr/lib/lxvst", "/usr/local/lib/vst",
                                   "/usr/local/lib/lxvst"};
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const std::string path = folder + "/" + fileName;
        if (access(path.c_str(), R_OK) == 0) return path;
    }
    return std::string();
}

std::vector<double> randomSignal(size_t n, uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<double> x(n);
    for (double& v : x)
        v = value(generator);
    return x;
}

// The pool of inputs, each as a signal, as FFTReal's spectrum and as FFTW's complex spectrum.
struct InputPool {
    std::vector<std::vector<double>> signals, spectra, halfComplex;
    std::vector<std::vector<double>> complexSpectra; // interleaved re, im; N/2 + 1 bins

    InputPool() {
        FFTReal<double> fft(kLength);
        for (int i = 0; i < kPool; ++i) {
            signals.push_back(randomSignal(kLength, 100 + i));
            std::vector<double> f(kLength);
            fft.forward_transform(f.data(), signals.back().data());
            spectra.push_back(f);
            halfComplex.push_back(
                f); // FFTW's r2hc layout differs only in the sign of the upper half
            for (int k = kLength / 2 + 1; k < kLength; ++k)
                halfComplex.back()[k] = -f[k];
            std::vector<double> c(kLength + 2, 0.0);
            c[0] = f[0];
            c[kLength] = f[kLength / 2];
            for (int k = 1; k < kLength / 2; ++k) {
                c[2 * k] = f[k];
                c[2 * k + 1] = -f[kLength / 2 + k];
            }
            complexSpectra.push_back(c);
        }
    }
};

const InputPool& pool() {
    static const InputPool p;
    return p;
}

void copyInto(double* destination, const std::vector<double>& source) {
    std::memcpy(destination, source.data(), source.size() * sizeof(double));
}

void BM_Copy(benchmark::State& state) {
    const InputPool& p = pool();
    double* x = fftw_alloc_real(kLength);
    int next = 0;
    for (auto _ : state) {
        copyInto(x, p.signals[next]);
        next = (next + 1) % kPool;
        benchmark::DoNotOptimize(x);
        benchmark::ClobberMemory();
    }
    fftw_free(x);
}

void BM_FFTReal_forward(benchmark::State& state, fftreal::VectorTier widest) {
    const InputPool& p = pool();
    FFTReal<double> fft(kLength, widest);
    std::vector<double> x(kLength), f(kLength);
    int next = 0;
    for (auto _ : state) {
        copyInto(x.data(), p.signals[next]);
        next = (next + 1) % kPool;
        fft.forward_transform(f.data(), x.data());
        benchmark::DoNotOptimize(f.data());
        benchmark::ClobberMemory();
    }
}

void BM_FFTReal_inverse(benchmark::State& state, fftreal::VectorTier widest) {
    const InputPool& p = pool();
    FFTReal<double> fft(kLength, widest);
    std::vector<double> f(kLength), y(kLength);
    int next = 0;
    for (auto _ : state) {
        copyInto(f.data(), p.spectra[next]);
        next = (next + 1) % kPool;
        fft.inverse_transform(f.data(), y.data());
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
}

// FFTW on arrays of its own allocation, planned with FFTW_MEASURE; c2r overwrites its input,
// which the copy renews on every call.
void fftwRun(benchmark::State& state, bool complexForm, bool forward) {
    const InputPool& p = pool();
    double* real = fftw_alloc_real(kLength);
    double* other = fftw_alloc_real(kLength + 2);
    fftw_plan plan;
    if (complexForm) {
        auto* spectrum = reinterpret_cast<fftw_complex*>(other);
        plan = forward ? fftw_plan_dft_r2c_1d(kLength, real, spectrum, FFTW_MEASURE)
                       : fftw_plan_dft_c2r_1d(kLength, spectrum, real, FFTW_MEASURE);
    } else {
        plan = forward ? fftw_plan_r2r_1d(kLength, real, other, FFTW_R2HC, FFTW_MEASURE)
                       : fftw_plan_r2r_1d(kLength, other, real, FFTW_HC2R, FFTW_MEASURE);
    }
    const std::vector<std::vector<double>>& inputs =
        forward ? p.signals : (complexForm ? p.complexSpectra : p.halfComplex);
    double* input = forward ? real : other;
    int next = 0;
    for (auto _ : state) {
        copyInto(input, inputs[next]);
        next = (next + 1) % kPool;
        fftw_execute(plan);
        benchmark::DoNotOptimize(forward ? other : real);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(real);
    fftw_free(other);
}

void BM_FFTW_r2c(benchmark::State& state) {
    fftwRun(state, true, true);
}
void BM_FFTW_c2r(benchmark::State& state) {
    fftwRun(state, true, false);
}
void BM_FFTW_r2hc(benchmark::State& state) {
    fftwRun(state, false, true);
}
void BM_FFTW_hc2r(benchmark::State& state) {
    fftwRun(state, false, false);
}

// The plug-in as a host sees it: created, told the rate and block size, switched on, and driven
// through the function pointers of its effect record.
class VorpaneEffect {
  public:
    explicit VorpaneEffect(int32_t blockSize) {
        effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr,
                           static_cast<float>(kSampleRate));
        effect->dispatcher(effect, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    }
    void processReplacing(float** inputs, float** outputs, int32_t frames) {
        effect->processReplacing(effect, inputs, outputs, frames);
    }
    void setParameter(int32_t index, float value) { effect->setParameter(effect, index, value); }

  private:
    std::unique_ptr<AVorpane> plugin = std::make_unique<AVorpane>(&loader::silentHostCallback);
    AEffect* effect = plugin->getAeffect();
};

// 48 kHz stereo noise that the streams walk through, so that each call sees new samples.
struct Noise {
    static constexpr size_t kFrames = 1 << 16;
    std::vector<float> samples[2];
    Noise() {
        std::mt19937 generator(5);
        std::uniform_real_distribution<float> value(-0.5f, 0.5f);
        for (auto& channel : samples) {
            channel.resize(kFrames + 4096);
            for (float& v : channel)
                v = value(generator);
        }
    }
};

const Noise& noise() {
    static const Noise n;
    return n;
}

// Streams the noise through an engine in host blocks of frames; before each call, perCall may
// act on the engine (call number given).
template <class Engine, class PerCall>
void streamThrough(benchmark::State& state, Engine& engine, int32_t frames, PerCall perCall) {
    const Noise& source = noise();
    std::vector<float> out(2 * static_cast<size_t>(frames));
    float* outputs[] = {out.data(), out.data() + frames};
    size_t position = 0;
    uint64_t call = 0;
    for (auto _ : state) {
        float* inputs[] = {const_cast<float*>(source.samples[0].data()) + position,
                           const_cast<float*>(source.samples[1].data()) + position};
        perCall(engine, call++);
        engine.processReplacing(inputs, outputs, frames);
        position += static_cast<size_t>(frames);
        if (position + static_cast<size_t>(frames) > Noise::kFrames) position = 0;
        benchmark::ClobberMemory();
    }
    const double processed = static_cast<double>(state.iterations()) * frames;
    state.counters["xRealTime"] =
        benchmark::Counter(processed / kSampleRate, benchmark::Counter::kIsRate);
    state.counters["perFrame"] =
        benchmark::Counter(processed, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <class Engine>
void streamThrough(benchmark::State& state, Engine& engine, int32_t frames) {
    streamThrough(state, engine, frames, [](Engine&, uint64_t) {});
}

void BM_Vorpane(benchmark::State& state, int32_t frames) {
    VorpaneEffect engine(frames);
    streamThrough(state, engine, frames);
}

void BM_Zam(benchmark::State& state, int32_t frames, const std::string& path) {
    loader::PluginHost plugin;
    std::string error;
    if (!plugin.load(path, static_cast<float>(kSampleRate), frames, error)) {
        state.SkipWithError(error.c_str());
        for (auto _ : state) {
        }
        return;
    }
    streamThrough(state, plugin, frames);
}

void BM_FftwEngine(benchmark::State& state, int32_t frames) {
    bench::FftwBlockEngine engine(bench::recordTaps(vorpane::Ear::left),
                                  bench::recordTaps(vorpane::Ear::right));
    streamThrough(state, engine, frames);
}

void BM_Direct(benchmark::State& state, int32_t frames) {
    bench::DirectConvolver engine(bench::recordTaps(vorpane::Ear::left),
                                  bench::recordTaps(vorpane::Ear::right));
    streamThrough(state, engine, frames);
}

// 512-frame host blocks; the direction moves before every block, so every block rebuilds its
// ear filters and fades to them (two more transforms for the filters, two for the fade).
// Compared with the same stream at a fixed direction.
void BM_VorpaneDirectionMoves(benchmark::State& state) {
    VorpaneEffect engine(512);
    streamThrough(state, engine, 512, [](VorpaneEffect& e, uint64_t call) {
        e.setParameter(0, (call / 2) % 2 ? 0.2f : 0.8f);
    });
}

void BM_VorpaneDirectionFixed(benchmark::State& state) {
    VorpaneEffect engine(512);
    streamThrough(state, engine, 512, [](VorpaneEffect&, uint64_t) {});
}

double threadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Every 64-frame call timed on its own, by the clock and by the processor time of the thread
// (which leaves out the time other programs held the processor). The calls that complete a
// block do its whole work: one in 16. Reports the longest call and the median of the slowest
// sixteenth as fractions of the 64 / 48000 s that a call may take in real time.
template <class Engine> void worstCall(benchmark::State& state, Engine& engine) {
    constexpr int32_t frames = 64;
    const double budget = frames / kSampleRate;
    const Noise& source = noise();
    std::vector<float> out(2 * frames);
    float* outputs[] = {out.data(), out.data() + frames};
    std::vector<double> wall, processor;
    wall.reserve(1 << 20);
    processor.reserve(1 << 20);
    size_t position = 0;
    for (auto _ : state) {
        float* inputs[] = {const_cast<float*>(source.samples[0].data()) + position,
                           const_cast<float*>(source.samples[1].data()) + position};
        const double cpuStart = threadSeconds();
        const auto start = std::chrono::steady_clock::now();
        engine.processReplacing(inputs, outputs, frames);
        const auto stop = std::chrono::steady_clock::now();
        const double cpuStop = threadSeconds();
        if (wall.size() < wall.capacity()) {
            wall.push_back(std::chrono::duration<double>(stop - start).count());
            processor.push_back(cpuStop - cpuStart);
        }
        position += frames;
        if (position + frames > Noise::kFrames) position = 0;
    }
    if (wall.empty()) return;
    auto report = [&](std::vector<double>& calls, const char* worstName, const char* blockName) {
        std::sort(calls.begin(), calls.end());
        const size_t blockCalls = std::max<size_t>(1, calls.size() / 16);
        state.counters[worstName] = calls.back() / budget;
        state.counters[blockName] = calls[calls.size() - blockCalls / 2 - 1] / budget;
    };
    report(wall, "worstOfBudget", "blockCallOfBudget");
    report(processor, "worstCpuOfBudget", "blockCallCpuOfBudget");
}

void BM_VorpaneWorstCall64(benchmark::State& state) {
    VorpaneEffect engine(64);
    worstCall(state, engine);
}

void BM_ZamWorstCall64(benchmark::State& state, const std::string& path) {
    loader::PluginHost plugin;
    std::string error;
    if (!plugin.load(path, static_cast<float>(kSampleRate), 64, error)) {
        state.SkipWithError(error.c_str());
        for (auto _ : state) {
        }
        return;
    }
    worstCall(state, plugin);
}

// Collects every run for the summary while the console shows them as usual.
class CollectingReporter : public benchmark::ConsoleReporter {
  public:
    struct Sample {
        double seconds; // processor time of the running thread per iteration
        std::map<std::string, double> counters;
    };
    std::map<std::string, std::vector<Sample>> runs;

    void ReportRuns(const std::vector<Run>& report) override {
        for (const Run& run : report) {
            if (run.error_occurred || run.iterations == 0) continue;
            Sample s{run.GetAdjustedCPUTime() * secondsPerUnit(run.time_unit), {}};
            for (const auto& [name, counter] : run.counters)
                s.counters[name] = counter.value;
            runs[run.run_name.function_name].push_back(s);
        }
        ConsoleReporter::ReportRuns(report);
    }

    bool has(const std::string& name) const { return runs.count(name) != 0; }
    double medianSeconds(const std::string& name) const {
        std::vector<double> v;
        for (const Sample& s : runs.at(name))
            v.push_back(s.seconds);
        return median(v);
    }
    double medianCounter(const std::string& name, const std::string& counter) const {
        std::vector<double> v;
        for (const Sample& s : runs.at(name))
            v.push_back(s.counters.at(counter));
        return median(v);
    }
    double maxCounter(const std::string& name, const std::string& counter) const {
        double m = 0;
        for (const Sample& s : runs.at(name))
            m = std::max(m, s.counters.at(counter));
        return m;
    }

  private:
    static double median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
    }
    static double secondsPerUnit(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1e-9;
        case benchmark::kMicrosecond:
            return 1e-6;
        case benchmark::kMillisecond:
            return 1e-3;
        default:
            return 1.0;
        }
    }
};

std::string streamName(const char* engine, int32_t frames) {
    return std::string("processReplacing/") + engine + "/" + std::to_string(frames);
}

void registerRound(const std::string& zamPath) {
    auto add = [](const std::string& name, auto fn) {
        benchmark::RegisterBenchmark(name.c_str(), fn)
            ->MinTime(kMinTime)
            ->Unit(benchmark::kMicrosecond);
    };
    add("transform/copy only", BM_Copy);
    using fftreal::VectorTier;
    add("transform/FFTReal forward",
        [](benchmark::State& s) { BM_FFTReal_forward(s, VectorTier::avx2_fma); });
    add("transform/FFTReal forward, SSE2",
        [](benchmark::State& s) { BM_FFTReal_forward(s, VectorTier::sse2); });
    add("transform/FFTW r2c", BM_FFTW_r2c);
    add("transform/FFTW r2hc", BM_FFTW_r2hc);
    add("transform/FFTReal inverse",
        [](benchmark::State& s) { BM_FFTReal_inverse(s, VectorTier::avx2_fma); });
    add("transform/FFTReal inverse, SSE2",
        [](benchmark::State& s) { BM_FFTReal_inverse(s, VectorTier::sse2); });
    add("transform/FFTW c2r", BM_FFTW_c2r);
    add("transform/FFTW hc2r", BM_FFTW_hc2r);
    for (int32_t frames : kHostBlocks) {
        add(streamName("Vorpane", frames),
            [frames](benchmark::State& s) { BM_Vorpane(s, frames); });
        // ZamHeadX2 refuses blocks of fewer than 2 frames.
        if (!zamPath.empty() && frames >= 2)
            add(streamName("ZamHeadX2", frames),
                [frames, zamPath](benchmark::State& s) { BM_Zam(s, frames, zamPath); });
        add(streamName("FFTW engine", frames),
            [frames](benchmark::State& s) { BM_FftwEngine(s, frames); });
        add(streamName("direct", frames), [frames](benchmark::State& s) { BM_Direct(s, frames); });
    }
    add("direction/fixed", BM_VorpaneDirectionFixed);
    add("direction/moving every block", BM_VorpaneDirectionMoves);
    add("worst call/Vorpane", BM_VorpaneWorstCall64);
    if (!zamPath.empty())
        add("worst call/ZamHeadX2",
            [zamPath](benchmark::State& s) { BM_ZamWorstCall64(s, zamPath); });
}

void printSummary(const CollectingReporter& r, bool haveZam) {
    auto ratio = [&](const std::string& slower, const std::string& faster) {
        return r.medianSeconds(slower) / r.medianSeconds(faster);
    };
    std::printf(
        "\n== Summary: medians of %d alternating rounds; speed ratios (>1: Vorpane faster)\n",
        kRounds);
    std::printf("FFTReal %d vs FFTW r2c  forward: %.2fx   (vs r2hc: %.2fx)\n", kLength,
                ratio("transform/FFTW r2c", "transform/FFTReal forward"),
                ratio("transform/FFTW r2hc", "transform/FFTReal forward"));
    std::printf("FFTReal %d vs FFTW c2r  inverse: %.2fx   (vs hc2r: %.2fx)\n", kLength,
                ratio("transform/FFTW c2r", "transform/FFTReal inverse"),
                ratio("transform/FFTW hc2r", "transform/FFTReal inverse"));
    if (fftreal::processor_tier() != fftreal::VectorTier::sse2)
        std::printf("FFTReal %d, AVX2 sweeps vs SSE2 passes: forward %.2fx, inverse %.2fx\n",
                    kLength, ratio("transform/FFTReal forward, SSE2", "transform/FFTReal forward"),
                    ratio("transform/FFTReal inverse, SSE2", "transform/FFTReal inverse"));
    std::printf(
        "  (each call includes the copy of a fresh input: %.2f of FFTReal's forward time)\n",
        ratio("transform/copy only", "transform/FFTReal forward"));
    std::printf("processReplacing, Vorpane's speed relative to:\n");
    std::printf("  host block   ZamHeadX2   FFTW engine   direct\n");
    for (int32_t frames : kHostBlocks) {
        const std::string vorpane = streamName("Vorpane", frames);
        std::printf("  %10d", frames);
        const std::string zam = streamName("ZamHeadX2", frames);
        if (haveZam && r.has(zam))
            std::printf("   %8.2fx", ratio(zam, vorpane));
        else
            std::printf("   %9s", "-");
        std::printf("   %10.2fx   %5.1fx\n", ratio(streamName("FFTW engine", frames), vorpane),
                    ratio(streamName("direct", frames), vorpane));
    }
    const double perFrame1 = r.medianSeconds(streamName("Vorpane", 1));
    const double perFrame512 = r.medianSeconds(streamName("Vorpane", 512)) / 512;
    std::printf("Vorpane per-frame cost at 1-frame blocks / at 512-frame blocks: %.2f\n",
                perFrame1 / perFrame512);
    std::printf("Direction moving every block / fixed (512-frame blocks): %.2f\n",
                ratio("direction/moving every block", "direction/fixed"));
    std::printf("64-frame calls, fraction of the %.3f ms real-time budget:\n",
                64 / kSampleRate * 1e3);
    auto worst = [&](const char* who) {
        const std::string name = std::string("worst call/") + who;
        if (!r.has(name)) return;
        std::printf(
            "  %-9s slowest sixteenth (the block-completing calls): %.3f, longest call: "
            "%.3f (median of rounds), %.3f (all rounds); by thread time: %.3f, %.3f, "
            "%.3f\n",
            who, r.medianCounter(name, "blockCallOfBudget"), r.medianCounter(name, "worstOfBudget"),
            r.maxCounter(name, "worstOfBudget"), r.medianCounter(name, "blockCallCpuOfBudget"),
            r.medianCounter(name, "worstCpuOfBudget"), r.maxCounter(name, "worstCpuOfBudget"));
    };
    worst("Vorpane");
    if (haveZam) worst("ZamHeadX2");
    std::printf(
        "  (the longest wall-clock calls include time the system gave to other programs)\n");
    if (haveZam)
        std::printf("Note: ZamHeadX2 at 16-frame blocks reports that its convolution engine does "
                    "not start; it then does not convolve, so that column compares nothing.\n");
}

// For a run filtered to Vorpane and the FFTW engine (scripts/bench.sh starts five such fresh
// processes): the ratios of this process alone, which show whether the speed depends on where
// a process happens to place its buffers.
void printFreshProcessLine(const CollectingReporter& r) {
    std::printf("fresh process, Vorpane / FFTW engine:");
    for (int32_t frames : {64, 512}) {
        const std::string vorpane = streamName("Vorpane", frames);
        const std::string fftw = streamName("FFTW engine", frames);
        if (r.has(vorpane) && r.has(fftw))
            std::printf("  %d frames %.2fx", frames,
                        r.medianSeconds(fftw) / r.medianSeconds(vorpane));
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::string zamPath = findVstLibrary(kZamFile);
    if (zamPath.empty())
        std::printf("note: %s not found (Debian package zam-plugins); comparing without it\n",
                    kZamFile);
    else
        std::printf("comparing with %s\n", zamPath.c_str());
    for (int round = 0; round < kRounds; ++round)
        registerRound(zamPath);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    try {
        printSummary(reporter, !zamPath.empty());
    } catch (const std::out_of_range&) {
        printFreshProcessLine(reporter);
    }
    benchmark::Shutdown();
    return 0;
}
