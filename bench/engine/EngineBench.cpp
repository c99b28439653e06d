// FFTReal against FFTW at the engine's transform length, and whole-stream processing of the
// plug-in's convolver against an FFTW engine of the same design and a direct convolution.
// Throughput is reported as multiples of real time for a 48 kHz stereo stream ("xRealTime")
// and as the cost of one stereo frame ("perFrame").
#include "bench/engine/BenchTable.h"
#include "bench/engine/DirectConvolver.h"
#include "bench/engine/FftwBlockEngine.h"
#include "engine/BlockConvolver.h"
#include "fft/FFTReal.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <atomic>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kLength = 2048;
constexpr double kSampleRate = 48000.0;

std::vector<double> randomSignal(size_t n) {
    std::mt19937 generator(3);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<double> x(n);
    for (double& v : x)
        v = value(generator);
    return x;
}

void BM_FFTReal_forward_2048(benchmark::State& state) {
    FFTReal<double> fft(kLength);
    const std::vector<double> x = randomSignal(kLength);
    std::vector<double> f(kLength);
    for (auto _ : state) {
        fft.forward_transform(f.data(), x.data());
        benchmark::DoNotOptimize(f.data());
        benchmark::ClobberMemory();
    }
}

void BM_FFTReal_inverse_2048(benchmark::State& state) {
    FFTReal<double> fft(kLength);
    const std::vector<double> x = randomSignal(kLength);
    std::vector<double> f(kLength), y(kLength);
    fft.forward_transform(f.data(), x.data());
    for (auto _ : state) {
        fft.inverse_transform(f.data(), y.data());
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
}

// FFTW's real transforms in its own half-complex layout, the closest match to FFTReal's.
void fftwTransform(benchmark::State& state, fftw_r2r_kind kind) {
    double* in = fftw_alloc_real(kLength);
    double* out = fftw_alloc_real(kLength);
    fftw_plan plan = fftw_plan_r2r_1d(kLength, in, out, kind, FFTW_MEASURE);
    const std::vector<double> x = randomSignal(kLength);
    std::copy(x.begin(), x.end(), in);
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}

void BM_FFTW_forward_2048(benchmark::State& state) {
    fftwTransform(state, FFTW_R2HC);
}
void BM_FFTW_inverse_2048(benchmark::State& state) {
    fftwTransform(state, FFTW_HC2R);
}

// Streams noise through an engine in host blocks of state.range(0) frames.
template <class Engine> void streamThrough(benchmark::State& state, Engine& engine) {
    const auto frames = static_cast<int32_t>(state.range(0));
    std::vector<float> buffer(4 * static_cast<size_t>(frames));
    std::mt19937 generator(5);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (float& v : buffer)
        v = value(generator);
    float* inputs[] = {buffer.data(), buffer.data() + frames};
    float* outputs[] = {buffer.data() + 2 * frames, buffer.data() + 3 * frames};
    for (auto _ : state) {
        engine.processReplacing(inputs, outputs, frames);
        benchmark::ClobberMemory();
    }
    const double processed = static_cast<double>(state.iterations()) * frames;
    state.counters["xRealTime"] =
        benchmark::Counter(processed / kSampleRate, benchmark::Counter::kIsRate);
    state.counters["perFrame"] =
        benchmark::Counter(processed, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Vorpane_processReplacing(benchmark::State& state) {
    std::atomic<float> azimuth{0.5f}, elevation{0.5f};
    std::atomic<bool> filtersDirty{true};
    auto engine = std::make_unique<vorpane::BlockConvolver>(
        vorpane::HrirTable(bench::randomTableBytes().data()), azimuth, elevation, filtersDirty);
    engine->reserve(static_cast<int32_t>(state.range(0)));
    streamThrough(state, *engine);
}

void BM_FftwReference_processReplacing(benchmark::State& state) {
    bench::FftwBlockEngine engine(bench::recordTaps(vorpane::Ear::left),
                                  bench::recordTaps(vorpane::Ear::right));
    streamThrough(state, engine);
}

void BM_Direct256_processReplacing(benchmark::State& state) {
    bench::DirectConvolver engine(bench::recordTaps(vorpane::Ear::left),
                                  bench::recordTaps(vorpane::Ear::right));
    streamThrough(state, engine);
}

} // namespace

// Repeated, with the median reported, because the machines these run on are shared and noisy.
#define VORPANE_BENCHMARK(name) BENCHMARK(name)->Repetitions(5)->ReportAggregatesOnly(true)

VORPANE_BENCHMARK(BM_FFTReal_forward_2048);
VORPANE_BENCHMARK(BM_FFTW_forward_2048);
VORPANE_BENCHMARK(BM_FFTReal_inverse_2048);
VORPANE_BENCHMARK(BM_FFTW_inverse_2048);
VORPANE_BENCHMARK(BM_Vorpane_processReplacing)->Arg(1)->Arg(64)->Arg(512)->Arg(4096);
VORPANE_BENCHMARK(BM_FftwReference_processReplacing)->Arg(1)->Arg(64)->Arg(512)->Arg(4096);
VORPANE_BENCHMARK(BM_Direct256_processReplacing)->Arg(1)->Arg(64)->Arg(512)->Arg(4096);
