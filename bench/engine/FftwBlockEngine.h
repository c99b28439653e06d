// A reference engine on FFTW with the block design of the plug-in's convolver: input queues,
// blocks of 1024 frames zero-padded to 2048, overlap-add into output queues primed with 2047
// zeros, 256-tap responses. Fixed filters; used only to compare speed.
#pragma once

#include "engine/SampleQueue.h"

#include <fftw3.h>

#include <cstdint>
#include <vector>

namespace bench {

class FftwBlockEngine {
  public:
    FftwBlockEngine(const std::vector<double>& left, const std::vector<double>& right);
    ~FftwBlockEngine();

    FftwBlockEngine(const FftwBlockEngine&) = delete;
    FftwBlockEngine& operator=(const FftwBlockEngine&) = delete;

    void processReplacing(float** inputs, float** outputs, int32_t count);

  private:
    void renderBlock();

    double* block;
    fftw_complex* spectrum;
    fftw_complex* filter[2];
    fftw_plan forward;
    fftw_plan inverse;
    vorpane::SampleQueue inputQueue[2];
    vorpane::SampleQueue outputQueue[2];
};

} // namespace bench
