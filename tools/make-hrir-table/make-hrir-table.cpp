// Builds the HRIR table of the plug-in from the MIT KEMAR measurements in SOFA format: for every
// direction of the table the nearest measurement, diffuse-field equalised, shortened to 256 taps
// and scaled to the full 16-bit range. Writes the table and prints its figures.
//
//   make-hrir-table [--sofa FILE] [--no-equalisation] OUTPUT
#include "DiffuseFieldEqualiser.h"
#include "HrirGrid.h"

#include <mysofa.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <numbers>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr const char* kDefaultSofa = "/usr/share/libmysofa/MIT_KEMAR_normal_pinna.sofa";
constexpr double kSampleRate = 44100.0;
constexpr size_t kSkippedTaps = 10; // leading silence common to every response
constexpr size_t kTaps = 256;
constexpr size_t kFadeTaps = 32;
constexpr int kEars = 2;
constexpr size_t kRecords = hrirgrid::kAzimuthSteps * hrirgrid::kElevationSteps;

struct Options {
    std::string sofa = kDefaultSofa;
    std::string output;
    bool equalise = true;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sofa" && i + 1 < argc)
            options.sofa = argv[++i];
        else if (arg == "--no-equalisation")
            options.equalise = false;
        else if (!arg.empty() && arg[0] != '-' && options.output.empty())
            options.output = arg;
        else
            throw std::runtime_error(
                "usage: make-hrir-table [--sofa FILE] [--no-equalisation] OUTPUT");
    }
    if (options.output.empty())
        throw std::runtime_error("usage: make-hrir-table [--sofa FILE] [--no-equalisation] OUTPUT");
    return options;
}

class SofaFile {
  public:
    explicit SofaFile(const std::string& path) {
        int err = 0;
        easy = mysofa_open_no_norm(path.c_str(), static_cast<float>(kSampleRate), &length, &err);
        if (!easy || err != MYSOFA_OK)
            throw std::runtime_error("cannot open " + path + " (libmysofa error " +
                                     std::to_string(err) + ")");
        const MYSOFA_HRTF& h = *easy->hrtf;
        if (h.R != kEars || h.N != static_cast<unsigned>(length) ||
            length < static_cast<int>(kSkippedTaps + kTaps))
            throw std::runtime_error(path + ": expected two ears and at least 266 taps");
        for (unsigned i = 0; i < h.DataDelay.elements; ++i)
            if (h.DataDelay.values[i] != 0.0f)
                throw std::runtime_error(path + ": separate delays are not supported");
    }
    ~SofaFile() { mysofa_close(easy); }
    SofaFile(const SofaFile&) = delete;
    SofaFile& operator=(const SofaFile&) = delete;

    unsigned measurements() const { return easy->hrtf->M; }
    std::vector<double> measured(unsigned m, int ear) const {
        const float* p =
            easy->hrtf->DataIR.values + (static_cast<size_t>(m) * kEars + ear) * length;
        return {p, p + length};
    }

    // The measurement nearest to a direction, unchanged (no interpolation), both ears.
    void nearest(const std::array<double, 3>& d, std::vector<double>& left,
                 std::vector<double>& right, int& index) const {
        std::vector<float> l(length), r(length);
        float delayLeft = 0, delayRight = 0;
        mysofa_getfilter_float_nointerp(easy, static_cast<float>(d[0]), static_cast<float>(d[1]),
                                        static_cast<float>(d[2]), l.data(), r.data(), &delayLeft,
                                        &delayRight);
        left.assign(l.begin(), l.end());
        right.assign(r.begin(), r.end());
        float c[3] = {static_cast<float>(d[0]), static_cast<float>(d[1]), static_cast<float>(d[2])};
        index = mysofa_lookup(easy->lookup, c); // rewrites c
    }

  private:
    MYSOFA_EASY* easy = nullptr;
    int length = 0;
};

// Taps 10..265 of the response convolved with the correction, the last 32 faded out with the
// falling half of a Hann window.
std::vector<double> shape(const std::vector<double>& response,
                          const std::vector<double>& correction) {
    std::vector<double> out(kTaps);
    for (size_t t = 0; t < kTaps; ++t) {
        const size_t n = t + kSkippedTaps;
        double sum = 0.0;
        for (size_t i = 0; i <= n; ++i)
            sum += correction[i] * response[n - i];
        out[t] = sum;
    }
    for (size_t i = 0; i < kFadeTaps; ++i) {
        const double x = (static_cast<double>(i) + 0.5) / kFadeTaps;
        out[kTaps - kFadeTaps + i] *= 0.5 * (1.0 + std::cos(std::numbers::pi * x));
    }
    return out;
}

double energyDb(const int16_t* taps) {
    double e = 0.0;
    for (size_t t = 0; t < kTaps; ++t)
        e += static_cast<double>(taps[t]) * taps[t];
    return 10.0 * std::log10(e);
}

// The main onset: the first tap that reaches a tenth of the record's peak magnitude.
size_t onset(const int16_t* taps) {
    int peak = 0;
    for (size_t t = 0; t < kTaps; ++t)
        peak = std::max(peak, std::abs(static_cast<int>(taps[t])));
    for (size_t t = 0; t < kTaps; ++t)
        if (10 * std::abs(static_cast<int>(taps[t])) >= peak) return t;
    return kTaps;
}

void printFigures(const std::vector<int16_t>& table, size_t distinct) {
    const int16_t* left = table.data();
    const int16_t* right = table.data() + kRecords * kTaps;
    std::printf("measurements used: %zu\n", distinct);
    for (int a : {0, 12, 24}) {
        double low = 1e9, high = -1e9;
        for (int e = 0; e < hrirgrid::kElevationSteps; ++e) {
            const size_t d = a + hrirgrid::kAzimuthSteps * e;
            const double ild = energyDb(left + d * kTaps) - energyDb(right + d * kTaps);
            low = std::min(low, ild);
            high = std::max(high, ild);
        }
        std::printf("level difference left - right at azimuth step %2d: %.2f .. %.2f dB\n", a, low,
                    high);
    }
    size_t first = kTaps, last = 0;
    for (size_t r = 0; r < 2 * kRecords; ++r) {
        const size_t o = onset(table.data() + r * kTaps);
        first = std::min(first, o);
        last = std::max(last, o);
    }
    const auto [mn, mx] = std::minmax_element(table.begin(), table.end());
    std::printf("onsets (first tap at a tenth of the peak): taps %zu .. %zu\n", first, last);
    std::printf("sample range: %d .. %d\n", *mn, *mx);
}

void run(const Options& options) {
    const SofaFile sofa(options.sofa);

    std::vector<double> correction(kSkippedTaps + kTaps, 0.0);
    correction[0] = 1.0;
    if (options.equalise) {
        EqualiserSettings settings;
        settings.sampleRate = kSampleRate;
        DiffuseFieldEqualiser equaliser(settings);
        for (unsigned m = 0; m < sofa.measurements(); ++m)
            equaliser.addResponsePair(sofa.measured(m, 0), sofa.measured(m, 1));
        const std::vector<double> filter = equaliser.correctionFilter();
        std::copy_n(filter.begin(), correction.size(), correction.begin());
    }

    // Shaped responses, left ear table then right ear table.
    std::vector<double> shaped(kEars * kRecords * kTaps);
    std::set<int> used;
    for (int e = 0; e < hrirgrid::kElevationSteps; ++e) {
        for (int a = 0; a < hrirgrid::kAzimuthSteps; ++a) {
            std::vector<double> left, right;
            int index = -1;
            sofa.nearest(hrirgrid::direction(a, e), left, right, index);
            used.insert(index);
            const size_t d = a + hrirgrid::kAzimuthSteps * e;
            const std::vector<double> l = shape(left, correction);
            const std::vector<double> r = shape(right, correction);
            std::copy(l.begin(), l.end(), shaped.begin() + d * kTaps);
            std::copy(r.begin(), r.end(), shaped.begin() + (kRecords + d) * kTaps);
        }
    }

    // Full scale: the largest magnitude becomes -32768 when it is negative, 32767 when positive.
    double peak = 0.0, peakValue = 0.0;
    for (double v : shaped)
        if (std::fabs(v) > peak) peak = std::fabs(v), peakValue = v;
    if (peak == 0.0) throw std::runtime_error("all responses are silent");
    const double scale = (peakValue < 0 ? 32768.0 : 32767.0) / peak;
    std::vector<int16_t> table(shaped.size());
    std::vector<unsigned char> bytes(2 * shaped.size());
    for (size_t i = 0; i < shaped.size(); ++i) {
        const long s = std::clamp(std::lround(shaped[i] * scale), -32768L, 32767L);
        table[i] = static_cast<int16_t>(s);
        const auto u = static_cast<uint16_t>(table[i]);
        bytes[2 * i] = static_cast<unsigned char>(u & 0xff);
        bytes[2 * i + 1] = static_cast<unsigned char>(u >> 8);
    }

    std::ofstream out(options.output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + options.output);
    printFigures(table, used.size());
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
