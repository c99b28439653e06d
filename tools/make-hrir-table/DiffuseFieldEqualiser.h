// Diffuse-field equalisation of a set of head-related impulse responses: the inverse of the
// third-octave-smoothed power average of all responses, held within a band around its mean and
// realised as a minimum-phase impulse response.
#pragma once

#include <cstddef>
#include <vector>

struct EqualiserSettings {
    double sampleRate = 44100.0;
    size_t fftSize = 8192;    // generous, so the cepstrum does not alias
    double meanLowHz = 200.0; // band over which the correction's mean level is taken
    double meanHighHz = 16000.0;
    double limitDb = 6.0; // largest deviation of the correction from that mean
};

class DiffuseFieldEqualiser {
  public:
    explicit DiffuseFieldEqualiser(const EqualiserSettings& settings) : settings(settings) {}

    // Adds two responses (the two ears of one measurement) to the power average, with a single
    // transform of the first as real and the second as imaginary part.
    void addResponsePair(const std::vector<double>& first, const std::vector<double>& second);

    // The correction filter, fftSize taps, minimum phase; its level is 0 dB at the mean of the
    // correction over the mean band. Needs at least one response added.
    std::vector<double> correctionFilter() const;

  private:
    std::vector<double> smoothedPower() const;

    EqualiserSettings settings;
    std::vector<double> powerSum; // fftSize / 2 + 1 bins
    size_t count = 0;
};
