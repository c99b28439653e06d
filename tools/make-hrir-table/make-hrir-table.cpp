// Builds the HRIR table of the plug-in from a measured set in SOFA format: for every direction of
// the table the nearest measurement, diffuse-field equalised, its low end restored below 200 Hz,
// rebuilt as minimum phase behind the measurement's own onset (its pulse turned negative above
// 300 Hz, its gain at DC positive), cut to 256 taps and scaled to the full 16-bit range. Writes the
// table (or nothing, on any error) and prints its figures.
//
//   make-hrir-table [--sofa FILE] [--map] [--no-equalisation] OUTPUT
#include "ComplexFft.h"
#include "DiffuseFieldEqualiser.h"
#include "LowFrequencyExtension.h"
#include "MinimumPhase.h"
#include "SofaSet.h"
#include "TableFigures.h"
#include "tools/shared/HrirGrid.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr const char* kDefaultSofa = "/usr/share/libmysofa/MIT_KEMAR_normal_pinna.sofa";
constexpr double kSampleRate = 44100.0;
constexpr size_t kFft = 4096; // spectra and minimum-phase rebuild at 44.1 kHz
constexpr size_t kTaps = 256;
constexpr size_t kLeadTaps = 18;       // the table starts this long before the earliest onset
constexpr size_t kFadeOutTaps = 44;    // 1 ms
constexpr double kCrossoverHz = 300.0; // the responses' polarity turns here, in the link band
constexpr size_t kRecords = hrirgrid::kAzimuthSteps * hrirgrid::kElevationSteps;

struct Options {
    std::string sofa = kDefaultSofa;
    std::string output;
    bool equalise = true;
    bool map = false;
};

Options parseOptions(int argc, char** argv) {
    const char* usage = "usage: make-hrir-table [--sofa FILE] [--map] [--no-equalisation] OUTPUT";
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sofa" && i + 1 < argc)
            options.sofa = argv[++i];
        else if (arg == "--no-equalisation")
            options.equalise = false;
        else if (arg == "--map")
            options.map = true;
        else if (!arg.empty() && arg[0] != '-' && options.output.empty())
            options.output = arg;
        else
            throw std::runtime_error(usage);
    }
    if (options.output.empty()) throw std::runtime_error(usage);
    return options;
}

// The magnitude of a response at rate `rate`, read at the kFft / 2 + 1 frequencies of a kFft-point
// transform at 44.1 kHz (linear interpolation between the bins of a long enough transform; held at
// the last bin above the response's own Nyquist frequency).
std::vector<double> magnitudeAt44k(const std::vector<double>& response, double rate) {
    size_t n = kFft;
    while (n < 2 * response.size() || static_cast<double>(n) < kFft * rate / kSampleRate)
        n *= 2;
    std::vector<std::complex<double>> s(n);
    std::copy(response.begin(), response.end(), s.begin());
    ComplexFft(n).forward(s);
    std::vector<double> magnitude(kFft / 2 + 1);
    for (size_t k = 0; k <= kFft / 2; ++k) {
        const double at = std::min(k * kSampleRate / kFft / rate * n, n / 2.0);
        const auto below = std::min(static_cast<size_t>(at), n / 2 - 1);
        const double w = at - below;
        magnitude[k] = (1 - w) * std::abs(s[below]) + w * std::abs(s[below + 1]);
    }
    return magnitude;
}

// The onset of a response: its first sample at a tenth of its peak.
size_t onsetOf(const std::vector<double>& response) {
    double peak = 0;
    for (double v : response)
        peak = std::max(peak, std::fabs(v));
    size_t t = 0;
    while (t < response.size() && 10 * std::fabs(response[t]) < peak)
        ++t;
    return t;
}

// The part of a measured response that fits the table: from kLeadTaps before its onset, as long as
// the table's records (at the response's own rate), the last millisecond faded out. What comes
// later (reflections, the loudspeaker's ringing) has no room in the table.
std::vector<double> windowed(const std::vector<double>& response, double rate) {
    const double ratio = rate / kSampleRate;
    const size_t onset = onsetOf(response);
    const size_t lead = static_cast<size_t>(std::lround(kLeadTaps * ratio));
    const size_t begin = onset > lead ? onset - lead : 0;
    const auto length = static_cast<size_t>(std::lround(kTaps * ratio));
    const auto fade = static_cast<size_t>(std::lround(kFadeOutTaps * ratio));
    std::vector<double> out(length, 0.0);
    for (size_t t = 0; t < length && begin + t < response.size(); ++t)
        out[t] = response[begin + t];
    for (size_t i = 0; i < fade; ++i)
        out[length - fade + i] *= 0.5 * (1.0 + std::cos(std::numbers::pi * (i + 0.5) / fade));
    return out;
}

// The taps the table held before its low end was restored: the measurement convolved with the
// correction, taps 10..265, the last 32 faded out. Kept to show that the change leaves the
// responses above the link band alone.
std::vector<double> unextended(const std::vector<double>& response,
                               const std::vector<double>& correction) {
    std::vector<double> out(kTaps);
    for (size_t t = 0; t < kTaps; ++t)
        for (size_t i = 0; i <= t + 10 && i < correction.size(); ++i)
            if (t + 10 - i < response.size()) out[t] += correction[i] * response[t + 10 - i];
    for (size_t i = 0; i < 32; ++i)
        out[kTaps - 32 + i] *= 0.5 * (1.0 + std::cos(std::numbers::pi * (i + 0.5) / 32));
    return out;
}

// Writes the table beside its place and renames it there, so a failed run leaves no partial file.
class AtomicOutput {
  public:
    explicit AtomicOutput(std::string path) : path(std::move(path)), part(this->path + ".part") {}
    ~AtomicOutput() {
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
    }
    void write(const std::vector<unsigned char>& bytes) {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + path);
        std::filesystem::rename(part, path);
    }

  private:
    std::string path, part;
};

void run(const Options& options) {
    const SofaSet set(options.sofa);
    const auto& measured = set.measurements();
    const double rate = set.sampleRate();

    std::vector<std::array<std::vector<double>, 2>> magnitude(measured.size());
    for (size_t m = 0; m < measured.size(); ++m)
        for (int ear = 0; ear < 2; ++ear)
            magnitude[m][ear] = magnitudeAt44k(windowed(measured[m].response[ear], rate), rate);

    std::vector<double> correction(kFft / 2 + 1, 1.0);
    if (options.equalise) {
        EqualiserSettings settings;
        settings.sampleRate = kSampleRate;
        settings.fftSize = kFft;
        DiffuseFieldEqualiser equaliser(settings);
        for (const auto& pair : magnitude)
            for (const auto& ear : pair)
                equaliser.addMagnitude(ear);
        correction = equaliser.correctionMagnitude();
    }

    // Every onset at 44.1 kHz on the set's common time base; the table starts kLeadTaps before the
    // earliest.
    std::vector<std::array<long, 2>> onset(measured.size());
    long earliest = 1L << 30;
    for (size_t m = 0; m < measured.size(); ++m)
        for (int ear = 0; ear < 2; ++ear) {
            const double at =
                static_cast<double>(onsetOf(measured[m].response[ear])) + measured[m].delay[ear];
            onset[m][ear] = std::lround(at / rate * kSampleRate);
            earliest = std::min(earliest, onset[m][ear]);
        }
    const long start = earliest - static_cast<long>(kLeadTaps);

    // Shaped responses, left ear table then right ear table.
    std::vector<double> shaped(2 * kRecords * kTaps);
    std::vector<size_t> source(kRecords);
    std::vector<long> firstRecord(measured.size(), -1); // where a measurement was shaped first
    for (int e = 0; e < hrirgrid::kElevationSteps; ++e)
        for (int a = 0; a < hrirgrid::kAzimuthSteps; ++a) {
            const size_t d = a + hrirgrid::kAzimuthSteps * e;
            const size_t m = source[d] = set.nearest(hrirgrid::direction(a, e));
            if (firstRecord[m] >= 0) {
                for (int ear = 0; ear < 2; ++ear)
                    std::copy_n(shaped.begin() + (ear * kRecords + firstRecord[m]) * kTaps, kTaps,
                                shaped.begin() + (ear * kRecords + d) * kTaps);
                continue;
            }
            firstRecord[m] = static_cast<long>(d);
            for (int ear = 0; ear < 2; ++ear) {
                std::vector<double> target = magnitude[m][ear];
                for (size_t k = 0; k < target.size(); ++k)
                    target[k] *= correction[k];
                extendLowEnd(target, kSampleRate / kFft);
                std::vector<double> response = minimumPhase(target, kFft);
                invertAbove(response, kCrossoverHz, kSampleRate);
                double* out = shaped.data() + (ear * kRecords + d) * kTaps;
                for (long t = std::max(0L, onset[m][ear] - start); t < long(kTaps); ++t)
                    out[t] = response[t - (onset[m][ear] - start)];
                for (size_t i = 0; i < kFadeOutTaps; ++i)
                    out[kTaps - kFadeOutTaps + i] *=
                        0.5 * (1.0 + std::cos(std::numbers::pi * (i + 0.5) / kFadeOutTaps));
            }
        }

    // Full scale: the largest magnitude becomes -32768 when it is negative, 32767 when positive.
    double peak = 0.0, peakValue = 0.0;
    for (double v : shaped)
        if (std::fabs(v) > peak) peak = std::fabs(v), peakValue = v;
    if (peak == 0.0) throw std::runtime_error(options.sofa + ": all responses are silent");
    const double scale = (peakValue < 0 ? 32768.0 : 32767.0) / peak;
    std::vector<int16_t> table(shaped.size());
    std::vector<unsigned char> bytes(2 * shaped.size());
    for (size_t i = 0; i < shaped.size(); ++i) {
        table[i] =
            static_cast<int16_t>(std::clamp(std::lround(shaped[i] * scale), -32768L, 32767L));
        const auto u = static_cast<uint16_t>(table[i]);
        bytes[2 * i] = static_cast<unsigned char>(u & 0xff);
        bytes[2 * i + 1] = static_cast<unsigned char>(u >> 8);
    }
    AtomicOutput(options.output).write(bytes);

    if (options.map)
        for (size_t d = 0; d < kRecords; ++d) {
            const auto& u = measured[source[d]].direction;
            std::printf("record %4zu (azimuth step %2zu, elevation step %2zu): measurement %zu, "
                        "azimuth %.1f, elevation %.1f degrees\n",
                        d, d % hrirgrid::kAzimuthSteps, d / hrirgrid::kAzimuthSteps, source[d],
                        std::atan2(u[1], u[0]) * 180 / std::numbers::pi,
                        std::asin(std::clamp(u[2], -1.0, 1.0)) * 180 / std::numbers::pi);
        }
    std::printf("measurements used: %zu of %zu\n", std::set(source.begin(), source.end()).size(),
                measured.size());
    printTableFigures(measureTable(table), stdout);
    if (rate == kSampleRate && measured[0].response[0].size() >= 10 + kTaps) {
        const std::vector<double> filter = minimumPhase(correction, kFft);
        std::vector<double> before(shaped.size());
        for (size_t d = 0; d < kRecords; ++d)
            for (int ear = 0; ear < 2; ++ear) {
                const auto taps = unextended(measured[source[d]].response[ear], filter);
                std::copy(taps.begin(), taps.end(), before.begin() + (ear * kRecords + d) * kTaps);
            }
        std::printf("shape above 1.5 kHz against the unextended responses: %.2f dB "
                    "(95th percentile)\n",
                    shapeChangeDb(table, before));
    }
}

} // namespace

int main(int argc, char** argv) {
    try {
        run(parseOptions(argc, argv));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-hrir-table: %s\n", e.what());
        return 1;
    }
}
