// A reference engine on FFTW with the block design of the plug-in's convolver: input gathered in
// blocks of 1024 frames zero-padded to 2048, overlap-add into output queues primed with 2047
// zeros (adding only the overlapping samples), 256-tap responses, the normalisation folded into
// the filters. Fixed filters; used only to compare speed.
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

    double* block[2]; // input waiting in the first half, zeros in the second
    double* result;
    int32_t blockFill = 0;
    fftw_complex* spectrum;
    fftw_complex* filter[2];
    fftw_plan forward;
    fftw_plan inverse;
    vorpane::SampleQueue outputQueue[2];
};

} // namespace bench
