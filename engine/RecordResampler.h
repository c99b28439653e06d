// Band-limited resampling of one 256-tap record of the 44.1 kHz table to another rate: each new
// tap is the record's band-limited waveform read at the tap's own time, by a Kaiser-windowed
// sinc. The record keeps its time (tap m of the new record lies at m / rate seconds, as tap n of
// the old one lies at n / 44100) and its level (the taps are scaled by 44100 / rate, so the gain
// at every frequency stays). Above 44.1 kHz the sinc's band is the table's own, so nothing is
// added above it; below, it is the new rate's, so nothing folds back from above its Nyquist
// frequency. With 32 zero crossings on each side, a Kaiser window of beta 8 and the cutoff at
// 0.97 of the lower Nyquist frequency, the kernel passes 0.907 of that frequency (20 kHz of the
// table's 22.05 kHz) within 0.05 dB, is 17 dB down at it and 86 dB down from 1.05 times it on.
//
// The weights depend on the rate only, so they are computed once and serve every record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorpane {

class RecordResampler {
  public:
    // The window's shape; the defaults are the engine's.
    struct Kernel {
        double zeroCrossings = 32.0; // of the sinc on each side of its centre
        double beta = 8.0;           // of the Kaiser window
        double band = 0.97;          // cutoff, as a fraction of the lower Nyquist frequency
    };

    // rate: one that supportedRate() gives.
    explicit RecordResampler(double rate) : RecordResampler(rate, Kernel{}) {}
    RecordResampler(double rate, const Kernel& kernel);

    // Taps of a resampled record (tapsAtRate(rate)).
    int32_t taps() const { return outputTaps; }
    // Resamples count records of 256 taps at 44.1 kHz, tap t of record r at records[t * count +
    // r] (tap by tap, so that each weight serves all records at once), into count records of
    // taps() taps at the new rate, one after the other in resampled. For a single record the
    // layout is simply its taps.
    void resample(const double* records, size_t count, float* resampled) const;

  private:
    int32_t outputTaps;
    int32_t span = 0;           // weights per output tap
    std::vector<int32_t> first; // per output tap, the first record tap it reads
    std::vector<double> weights;
};

} // namespace vorpane
