#include "hrtf/TableFigures.h"

#include "engine/HrirTable.h"
#include "hrtf/ComplexFft.h"
#include "hrtf/TimeDifference.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <limits>

namespace {

constexpr double kRate = 44100.0;
constexpr size_t kFft = 4096;
constexpr size_t kTaps = vorpane::kTapsPerRecord;
constexpr size_t kRecords = vorpane::kDirections;
constexpr int kAzimuthSteps = vorpane::kAzimuthSteps;

using Spectrum = std::vector<std::complex<double>>;

// The spectra of two responses from one transform, the first as real and the second as
// imaginary part: X = (Z[k] + conj Z[n-k]) / 2, Y = (Z[k] - conj Z[n-k]) / 2i.
template <typename T, typename U>
void spectra(const T* first, const U* second, const ComplexFft& fft, Spectrum& x, Spectrum& y) {
    Spectrum z(kFft);
    for (size_t t = 0; t < kTaps; ++t)
        z[t] = {static_cast<double>(first[t]), static_cast<double>(second[t])};
    fft.forward(z);
    x.resize(kFft / 2 + 1);
    y.resize(kFft / 2 + 1);
    for (size_t k = 0; k <= kFft / 2; ++k) {
        const std::complex<double> a = z[k], b = std::conj(z[(kFft - k) % kFft]);
        x[k] = (a + b) * 0.5;
        y[k] = (a - b) * std::complex<double>(0.0, -0.5);
    }
}

size_t bin(double hz) {
    return static_cast<size_t>(std::lround(hz / kRate * kFft));
}

// The mean of the level in dB over the bins of a band.
double meanLevelDb(const Spectrum& s, double lowHz, double highHz) {
    double sum = 0;
    for (size_t k = bin(lowHz); k <= bin(highHz); ++k)
        sum += 10.0 * std::log10(std::max(std::norm(s[k]), 1e-30));
    return sum / static_cast<double>(bin(highHz) - bin(lowHz) + 1);
}

double energy(const int16_t* taps, size_t count) {
    double e = 0;
    for (size_t t = 0; t < count; ++t)
        e += static_cast<double>(taps[t]) * taps[t];
    return e;
}

size_t onset(const int16_t* taps) {
    int peak = 0;
    for (size_t t = 0; t < kTaps; ++t)
        peak = std::max(peak, std::abs(static_cast<int>(taps[t])));
    for (size_t t = 0; t < kTaps; ++t)
        if (10 * std::abs(static_cast<int>(taps[t])) >= peak) return t;
    return kTaps;
}

// Lag in ms of the right ear behind the left at the largest cross-correlation below 1.5 kHz.
// The time difference between the ears at low frequencies, as the generator measures it.
double timeDifferenceMs(const int16_t* left, const int16_t* right) {
    return lowFrequencyTimeDifference(std::vector<double>(left, left + kTaps), 0.0,
                                      std::vector<double>(right, right + kTaps), 0.0, kRate) *
           1000.0;
}

} // namespace

TableFigures measureTable(const std::vector<int16_t>& table) {
    const ComplexFft fft(kFft);
    TableFigures f;
    std::vector<double> lowEnd;
    f.lowEarDifferenceDb = 0;
    f.timeDifferenceLowestMs = 1e9, f.timeDifferenceHighestMs = -1e9;
    f.preOnsetDb = -std::numeric_limits<double>::infinity();
    f.sumLowest = 1e9, f.sumHighest = -1e9;
    f.levelDifferenceLowestDb.fill(1e9), f.levelDifferenceHighestDb.fill(-1e9);
    f.onsetFirst = static_cast<int>(kTaps), f.onsetLast = 0;
    for (size_t d = 0; d < kRecords; ++d) {
        const int16_t* ears[2] = {table.data() + d * kTaps, table.data() + (kRecords + d) * kTaps};
        Spectrum s[2];
        spectra(ears[0], ears[1], fft, s[0], s[1]);
        double lowLevel[2];
        for (int ear = 0; ear < 2; ++ear) {
            const int16_t* taps = ears[ear];
            lowEnd.push_back(meanLevelDb(s[ear], 20, 150) - meanLevelDb(s[ear], 200, 400));
            lowLevel[ear] = meanLevelDb(s[ear], 20, 100);
            const size_t o = onset(taps);
            f.onsetFirst = std::min(f.onsetFirst, static_cast<int>(o));
            f.onsetLast = std::max(f.onsetLast, static_cast<int>(o));
            const double ahead = energy(taps, o);
            f.preOnsetDb = std::max(f.preOnsetDb, 10 * std::log10(ahead / energy(taps, kTaps)));
            const double sum = s[ear][0].real() / 32768.0;
            f.sumLowest = std::min(f.sumLowest, sum);
            f.sumHighest = std::max(f.sumHighest, sum);
        }
        f.lowEarDifferenceDb = std::max(f.lowEarDifferenceDb, std::fabs(lowLevel[0] - lowLevel[1]));
        const int a = static_cast<int>(d % kAzimuthSteps);
        if (a == 0 || a == 24) {
            const double ms = std::fabs(timeDifferenceMs(ears[0], ears[1]));
            f.timeDifferenceLowestMs = std::min(f.timeDifferenceLowestMs, ms);
            f.timeDifferenceHighestMs = std::max(f.timeDifferenceHighestMs, ms);
        }
        if (a % 12 == 0) {
            const double ild = 10 * std::log10(energy(ears[0], kTaps) / energy(ears[1], kTaps));
            double& low = f.levelDifferenceLowestDb[a / 12];
            double& high = f.levelDifferenceHighestDb[a / 12];
            low = std::min(low, ild), high = std::max(high, ild);
        }
    }
    std::sort(lowEnd.begin(), lowEnd.end());
    f.lowEndLowestDb = lowEnd.front();
    f.lowEndMedianDb = lowEnd[lowEnd.size() / 2];
    f.lowEndHighestDb = lowEnd.back();
    return f;
}

void printTableFigures(const TableFigures& f, std::FILE* out) {
    std::fprintf(out, "low end, 20-150 Hz against 200-400 Hz: %+.2f .. %+.2f dB (median %+.2f)\n",
                 f.lowEndLowestDb, f.lowEndHighestDb, f.lowEndMedianDb);
    std::fprintf(out, "largest level difference between the ears over 20-100 Hz: %.2f dB\n",
                 f.lowEarDifferenceDb);
    std::fprintf(out,
                 "time difference between the ears at azimuth steps 0 and 24: %.3f .. %.3f ms\n",
                 f.timeDifferenceLowestMs, f.timeDifferenceHighestMs);
    if (std::isinf(f.preOnsetDb))
        std::fprintf(out, "largest energy ahead of an onset: none\n");
    else
        std::fprintf(out, "largest energy ahead of an onset: %.1f dB\n", f.preOnsetDb);
    std::fprintf(out, "tap sums: %.3f .. %.3f of full scale (largest over smallest %.2f)\n",
                 f.sumLowest, f.sumHighest, f.sumHighest / f.sumLowest);
    for (int i = 0; i < 3; ++i)
        std::fprintf(out, "level difference left - right at azimuth step %2d: %.2f .. %.2f dB\n",
                     12 * i, f.levelDifferenceLowestDb[i], f.levelDifferenceHighestDb[i]);
    std::fprintf(out, "onsets (first tap at a tenth of the peak): taps %d .. %d\n", f.onsetFirst,
                 f.onsetLast);
}

double shapeChangeDb(const std::vector<int16_t>& table, const std::vector<double>& reference) {
    const ComplexFft fft(kFft);
    std::vector<double> change;
    std::vector<double> diff;
    for (size_t r = 0; r < 2 * kRecords; ++r) {
        Spectrum made, before;
        spectra(table.data() + r * kTaps, reference.data() + r * kTaps, fft, made, before);
        diff.clear();
        for (size_t k = bin(1500); k <= bin(20000); ++k)
            diff.push_back(10 * std::log10(std::max(std::norm(made[k]), 1e-30) /
                                           std::max(std::norm(before[k]), 1e-30)));
        double mean = 0, square = 0;
        for (double v : diff)
            mean += v / static_cast<double>(diff.size());
        for (double v : diff)
            square += (v - mean) * (v - mean) / static_cast<double>(diff.size());
        change.push_back(std::sqrt(square));
    }
    std::sort(change.begin(), change.end());
    return change[change.size() * 95 / 100];
}
