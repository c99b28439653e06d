#include "bench/engine/DirectConvolver.h"

#include <algorithm>

namespace bench {

namespace {

constexpr size_t kTaps = 256;

} // namespace

DirectConvolver::DirectConvolver(const std::vector<double>& left,
                                 const std::vector<double>& right) {
    const std::vector<double>* taps[] = {&left, &right};
    for (int channel = 0; channel < 2; ++channel) {
        reversedTaps[channel].assign(taps[channel]->rbegin() + (taps[channel]->size() - kTaps),
                                     taps[channel]->rend());
        history[channel].assign(kTaps - 1, 0.0);
        history[channel].reserve(kTaps - 1 + 65536);
    }
}

void DirectConvolver::processReplacing(float** inputs, float** outputs, int32_t count) {
    for (int channel = 0; channel < 2; ++channel) {
        std::vector<double>& past = history[channel];
        past.resize(kTaps - 1 + static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i)
            past[kTaps - 1 + i] = inputs[channel][i];
        const double* h = reversedTaps[channel].data();
        for (int32_t i = 0; i < count; ++i) {
            const double* x = past.data() + i;
            double sum = 0.0;
            for (size_t k = 0; k < kTaps; ++k)
                sum += h[k] * x[k];
            outputs[channel][i] = static_cast<float>(sum);
        }
        std::copy(past.end() - (kTaps - 1), past.end(), past.begin());
    }
}

} // namespace bench
