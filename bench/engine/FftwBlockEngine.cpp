#include "bench/engine/FftwBlockEngine.h"

#include <algorithm>

namespace bench {

namespace {

constexpr int32_t kBlock = 1024;
constexpr int32_t kLength = 2048;
constexpr int32_t kBins = kLength / 2 + 1;
constexpr int32_t kTaps = 256;

} // namespace

FftwBlockEngine::FftwBlockEngine(const std::vector<double>& left,
                                 const std::vector<double>& right) {
    block[0] = fftw_alloc_real(kLength);
    block[1] = fftw_alloc_real(kLength);
    result = fftw_alloc_real(kLength);
    spectrum = fftw_alloc_complex(kBins);
    forward = fftw_plan_dft_r2c_1d(kLength, result, spectrum, FFTW_MEASURE);
    inverse = fftw_plan_dft_c2r_1d(kLength, spectrum, result, FFTW_MEASURE);
    const std::vector<double>* taps[] = {&left, &right};
    for (int channel = 0; channel < 2; ++channel) {
        filter[channel] = fftw_alloc_complex(kBins);
        std::fill(result, result + kLength, 0.0);
        std::copy(taps[channel]->begin(), taps[channel]->begin() + kTaps, result);
        fftw_execute_dft_r2c(forward, result, filter[channel]);
        for (int32_t k = 0; k < kBins; ++k) {
            filter[channel][k][0] /= kLength; // normalisation folded into the filter
            filter[channel][k][1] /= kLength;
        }
        std::fill(block[channel], block[channel] + kLength, 0.0);
        outputQueue[channel].reserve(2 * (3 * kBlock + 4096));
        outputQueue[channel].appendZeros(kLength - 1);
    }
}

FftwBlockEngine::~FftwBlockEngine() {
    fftw_destroy_plan(forward);
    fftw_destroy_plan(inverse);
    fftw_free(filter[0]);
    fftw_free(filter[1]);
    fftw_free(spectrum);
    fftw_free(block[0]);
    fftw_free(block[1]);
    fftw_free(result);
}

void FftwBlockEngine::processReplacing(float** inputs, float** outputs, int32_t count) {
    if (count <= 0) return;
    int32_t taken = 0;
    while (taken < count) {
        const int32_t frames = std::min(kBlock - blockFill, count - taken);
        for (int channel = 0; channel < 2; ++channel) {
            double* waiting = block[channel] + blockFill;
            const float* input = inputs[channel] + taken;
            for (int32_t i = 0; i < frames; ++i)
                waiting[i] = input[i];
        }
        blockFill += frames;
        taken += frames;
        if (blockFill == kBlock) {
            renderBlock();
            blockFill = 0;
        }
    }
    for (int channel = 0; channel < 2; ++channel) {
        const double* queued = outputQueue[channel].data();
        for (int32_t i = 0; i < count; ++i)
            outputs[channel][i] = static_cast<float>(queued[i]);
        outputQueue[channel].removeFront(static_cast<size_t>(count));
    }
}

void FftwBlockEngine::renderBlock() {
    for (int channel = 0; channel < 2; ++channel) {
        const size_t writePosition = outputQueue[channel].size() - kTaps;
        outputQueue[channel].appendUnset(kBlock);
        fftw_execute_dft_r2c(forward, block[channel], spectrum);
        const fftw_complex* h = filter[channel];
        for (int32_t k = 0; k < kBins; ++k) {
            const double re = spectrum[k][0] * h[k][0] - spectrum[k][1] * h[k][1];
            const double im = spectrum[k][0] * h[k][1] + spectrum[k][1] * h[k][0];
            spectrum[k][0] = re;
            spectrum[k][1] = im;
        }
        fftw_execute_dft_c2r(inverse, spectrum, result);
        double* target = outputQueue[channel].data() + writePosition;
        for (int32_t i = 0; i < kTaps - 1; ++i)
            target[i] += result[i];
        for (int32_t i = kTaps - 1; i < kBlock + kTaps - 1; ++i)
            target[i] = result[i];
        target[kBlock + kTaps - 1] = 0.0;
    }
}

} // namespace bench
