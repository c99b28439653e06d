#include "hrtf/HrirTableMaker.h"

#include "hrtf/ComplexFft.h"
#include "hrtf/DiffuseFieldEqualiser.h"
#include "hrtf/LowFrequencyExtension.h"
#include "hrtf/MinimumPhase.h"
#include "hrtf/TableDirections.h"
#include "hrtf/TimeDifference.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <stdexcept>

namespace {

constexpr double kSampleRate = HrirTableMaker::kSampleRate;
constexpr size_t kFft = HrirTableMaker::kFft;
constexpr size_t kTaps = vorpane::kTapsPerRecord;
constexpr size_t kRecords = vorpane::kDirections;
constexpr size_t kLeadTaps = 18;       // the table starts this long before the earliest onset
constexpr size_t kFadeOutTaps = 44;    // 1 ms
constexpr double kCrossoverHz = 300.0; // the responses' polarity turns here, in the link band

// The magnitude of a response at rate `rate`, read at the kFft / 2 + 1 frequencies of a kFft-point
// transform at 44.1 kHz (linear interpolation between the bins of a long enough transform; held at
// the last bin above the response's own Nyquist frequency).
std::vector<double> magnitudeAt44k(const std::vector<double>& response, double rate,
                                   ComplexFftCache& transforms) {
    size_t n = kFft;
    while (n < 2 * response.size() || static_cast<double>(n) < kFft * rate / kSampleRate)
        n *= 2;
    std::vector<std::complex<double>> s(n);
    std::copy(response.begin(), response.end(), s.begin());
    transforms.of(n).forward(s);
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

} // namespace

std::vector<unsigned char> MadeTable::bytes() const {
    std::vector<unsigned char> out(2 * taps.size());
    for (size_t i = 0; i < taps.size(); ++i) {
        const auto u = static_cast<uint16_t>(taps[i]);
        out[2 * i] = static_cast<unsigned char>(u & 0xff);
        out[2 * i + 1] = static_cast<unsigned char>(u >> 8);
    }
    return out;
}

MadeTable HrirTableMaker::make(const SofaSet& set) const {
    const auto& measured = set.measurements();
    const double rate = set.sampleRate();
    auto refuse = [&](const std::string& why) {
        return std::runtime_error(set.path() + ": " + why);
    };

    ComplexFftCache transforms;
    std::vector<std::array<std::vector<double>, 2>> magnitude(measured.size());
    for (size_t m = 0; m < measured.size(); ++m)
        for (int ear = 0; ear < 2; ++ear)
            magnitude[m][ear] =
                magnitudeAt44k(windowed(measured[m].response[ear], rate), rate, transforms);

    MadeTable made;
    made.correction.assign(kFft / 2 + 1, 1.0);
    if (equalise) {
        EqualiserSettings settings;
        settings.sampleRate = kSampleRate;
        settings.fftSize = kFft;
        DiffuseFieldEqualiser equaliser(settings);
        for (const auto& pair : magnitude)
            for (const auto& ear : pair)
                equaliser.addMagnitude(ear);
        made.correction = equaliser.correctionMagnitude();
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
    const ComplexFft fft(kFft);
    std::vector<double> shaped(2 * kRecords * kTaps);
    made.source.resize(kRecords);
    std::vector<long> firstRecord(measured.size(), -1); // where a measurement was shaped first
    for (int e = 0; e < hrirgrid::kElevationSteps; ++e)
        for (int a = 0; a < hrirgrid::kAzimuthSteps; ++a) {
            const size_t d = a + hrirgrid::kAzimuthSteps * e;
            const size_t m = made.source[d] = set.nearest(hrirgrid::direction(a, e));
            if (firstRecord[m] >= 0) {
                for (int ear = 0; ear < 2; ++ear)
                    std::copy_n(shaped.begin() + (ear * kRecords + firstRecord[m]) * kTaps, kTaps,
                                shaped.begin() + (ear * kRecords + d) * kTaps);
                continue;
            }
            firstRecord[m] = static_cast<long>(d);
            std::array<std::vector<double>, 2> response;
            for (int ear = 0; ear < 2; ++ear) {
                std::vector<double> target = magnitude[m][ear];
                for (size_t k = 0; k < target.size(); ++k)
                    target[k] *= made.correction[k];
                extendLowEnd(target, kSampleRate / kFft);
                if (!(1e-5 * *std::max_element(target.begin(), target.end()) > 0.0))
                    throw refuse("measurement " + std::to_string(m) + " is silent");
                response[ear] = minimumPhase(target, fft);
                invertAbove(response[ear], kCrossoverHz, kSampleRate);
            }
            // The earlier ear at its own onset; the other where the pair's time difference at
            // low frequencies is the measurement's. A minimum-phase rebuild delays the low end
            // of a shadowed ear by more than its onset, so placing both at their onsets would
            // widen the difference.
            const auto& source = measured[m];
            const double wanted =
                lowFrequencyTimeDifference(source.response[0], source.delay[0], source.response[1],
                                           source.delay[1], rate, &transforms) *
                kSampleRate;
            const double own = lowFrequencyTimeDifference(response[0], 0.0, response[1], 0.0,
                                                          kSampleRate, &transforms) *
                               kSampleRate;
            const long apart = std::lround(wanted - own); // right ear's place after the left's
            const int first = onset[m][0] != onset[m][1] ? (onset[m][0] < onset[m][1] ? 0 : 1)
                                                         : (apart >= 0 ? 0 : 1);
            std::array<long, 2> place;
            place[first] = onset[m][first] - start;
            place[1 - first] = place[first] + (first == 0 ? apart : -apart);
            for (int ear = 0; ear < 2; ++ear) {
                double* out = shaped.data() + (ear * kRecords + d) * kTaps;
                const long at = std::max(0L, place[ear]);
                for (long t = at; t < long(kTaps); ++t)
                    out[t] = response[ear][t - at];
                for (size_t i = 0; i < kFadeOutTaps; ++i)
                    out[kTaps - kFadeOutTaps + i] *=
                        0.5 * (1.0 + std::cos(std::numbers::pi * (i + 0.5) / kFadeOutTaps));
            }
        }

    // Full scale: the largest magnitude becomes -32768 when it is negative, 32767 when positive.
    double peak = 0.0, peakValue = 0.0;
    for (double v : shaped)
        if (std::fabs(v) > peak) peak = std::fabs(v), peakValue = v;
    if (peak == 0.0) throw refuse("all responses are silent");
    if (!std::isfinite(peak)) throw refuse("its responses do not give finite filters");
    const double scale = (peakValue < 0 ? 32768.0 : 32767.0) / peak;
    made.taps.resize(shaped.size());
    for (size_t i = 0; i < shaped.size(); ++i)
        made.taps[i] =
            static_cast<int16_t>(std::clamp(std::lround(shaped[i] * scale), -32768L, 32767L));
    return made;
}
