// A load of a SOFA file as the LV2 plug-in's worker does it: read with libmysofa by the SOFA
// reader process, checked, made into the table (equalised, low end restored, minimum phase,
// placed) on one thread.
#include "lv2/HrtfLoader.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void load(benchmark::State& state, const char* path) {
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("the file is not there");
        return;
    }
    const vorpane::lv2::SofaReaderProcess reader(SOFA_READER);
    for (auto _ : state) {
        vorpane::lv2::HrtfLoad made = vorpane::lv2::loadHrtf(path, reader);
        if (!made.table) state.SkipWithError(made.refusal.c_str());
        benchmark::DoNotOptimize(made.table);
    }
}

} // namespace

BENCHMARK_CAPTURE(load, KEMAR 710 directions 44k1,
                  "/usr/share/libmysofa/MIT_KEMAR_normal_pinna.sofa")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(load, Spherical head 2592 directions 96k, DENSE_SOFA)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
