// The time difference between the ears at low frequencies, measured one way for a measured set
// and for the table made from it: the lag of the largest cross-correlation of the two responses
// below 1.5 kHz, within 1.5 ms either way, refined by a parabola through the peak and its
// neighbours.
#pragma once

#include "hrtf/ComplexFft.h"

#include <vector>

// Seconds by which `right` lags `left` (negative when it leads). Each response may carry a
// delay of its own in samples (any fraction, as a SOFA file's Data.Delay); `rate` is theirs.
// The transform comes from `transforms` when given.
double lowFrequencyTimeDifference(const std::vector<double>& left, double leftDelay,
                                  const std::vector<double>& right, double rightDelay, double rate,
                                  ComplexFftCache* transforms = nullptr);
