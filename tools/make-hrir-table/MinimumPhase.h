// Minimum-phase impulse responses from magnitude spectra, by folding the real cepstrum.
#pragma once

#include <cstddef>
#include <vector>

// The minimum-phase response (n taps) whose magnitude is `magnitude`, given at the n / 2 + 1
// frequencies k / n of the sample rate (k = 0 .. n / 2); n a power of two. Magnitudes are floored
// at 1e-5 of their largest value (-100 dB) so the logarithm stays finite.
std::vector<double> minimumPhase(const std::vector<double>& magnitude, size_t n);
