// Direct time-domain convolution of each channel with its 256-tap response, sample by sample;
// the baseline that fast convolution has to beat.
#pragma once

#include <cstdint>
#include <vector>

namespace bench {

class DirectConvolver {
  public:
    DirectConvolver(const std::vector<double>& left, const std::vector<double>& right);
    void processReplacing(float** inputs, float** outputs, int32_t count);

  private:
    std::vector<double> reversedTaps[2];
    std::vector<double> history[2]; // the last 255 inputs followed by the current block
};

} // namespace bench
