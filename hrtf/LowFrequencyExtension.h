// Restores the low end of a measured magnitude response: below a link band the magnitude is held
// at the band's own mean level, across the band it is blended (in dB, linearly in frequency) from
// that level into the measurement, above the band it is left alone.
#pragma once

#include <vector>

struct LinkBand {
    double lowHz = 200.0;
    double highHz = 400.0;
};

// `magnitude[k]` is the magnitude at k * binHz.
void extendLowEnd(std::vector<double>& magnitude, double binHz, const LinkBand& band = {});

// A minimum-phase rebuild passes DC with positive sign and starts with a positive pulse. This
// turns the response's polarity above `crossoverHz` with a first-order allpass (-1 at DC, +1 at
// the Nyquist frequency, negated), keeping its magnitude and its onset: the gain at DC stays
// positive, the main pulse becomes negative. Applied alike to both ears, it leaves the time
// difference between them alone; below the crossover it delays by about
// sampleRate / (pi * crossoverHz) samples.
void invertAbove(std::vector<double>& response, double crossoverHz, double sampleRate);
