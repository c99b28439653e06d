// Minimum-phase impulse responses from magnitude spectra, by folding the real cepstrum.
#pragma once

#include "hrtf/ComplexFft.h"

#include <vector>

// The minimum-phase response (n = fft.size() taps) whose magnitude is `magnitude`, given at the
// n / 2 + 1 frequencies k / n of the sample rate (k = 0 .. n / 2). Magnitudes are floored at 1e-5
// of their largest value (-100 dB) so the logarithm stays finite.
std::vector<double> minimumPhase(const std::vector<double>& magnitude, const ComplexFft& fft);
