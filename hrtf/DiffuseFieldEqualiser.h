// Diffuse-field equalisation of a set of head-related impulse responses: the inverse of the
// third-octave-smoothed power average of all responses, held within a band around its mean and
// held at its 200 Hz value below that, so it never lifts what a measurement's loudspeaker did not
// play.
#pragma once

#include <cstddef>
#include <vector>

struct EqualiserSettings {
    double sampleRate = 44100.0;
    size_t fftSize = 4096;    // the spectra have fftSize / 2 + 1 bins
    double meanLowHz = 200.0; // band over which the correction's mean level is taken
    double meanHighHz = 16000.0;
    double limitDb = 6.0; // largest deviation of the correction from that mean
    double holdBelowHz = 200.0;
};

class DiffuseFieldEqualiser {
  public:
    explicit DiffuseFieldEqualiser(const EqualiserSettings& settings) : settings(settings) {}

    // Adds the magnitude spectrum of one response (fftSize / 2 + 1 bins) to the power average.
    void addMagnitude(const std::vector<double>& magnitude);

    // The correction's magnitude at every bin, 1 at the mean of the correction over the mean
    // band. Needs at least one response added.
    std::vector<double> correctionMagnitude() const;

  private:
    std::vector<double> smoothedPower() const;

    EqualiserSettings settings;
    std::vector<double> powerSum; // fftSize / 2 + 1 bins
    size_t count = 0;
};
