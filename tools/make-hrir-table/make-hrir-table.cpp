// Builds the HRIR table of the plug-in from a measured set in SOFA format (hrtf/HrirTableMaker.h
// says how). Writes the table (or nothing, on any error) and prints its figures.
//
//   make-hrir-table [--sofa FILE] [--map] [--no-equalisation] OUTPUT
#include "hrtf/ComplexFft.h"
#include "hrtf/HrirTableMaker.h"
#include "hrtf/MinimumPhase.h"
#include "hrtf/SofaFile.h"
#include "hrtf/TableDirections.h"
#include "hrtf/TableFigures.h"

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
constexpr double kSampleRate = HrirTableMaker::kSampleRate;
constexpr size_t kFft = HrirTableMaker::kFft;
constexpr size_t kTaps = vorpane::kTapsPerRecord;
constexpr size_t kRecords = vorpane::kDirections;

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
    const SofaSet set = readSofaFile(options.sofa);
    const auto& measured = set.measurements();
    const double rate = set.sampleRate();

    const MadeTable made = HrirTableMaker(options.equalise).make(set);
    const std::vector<int16_t>& table = made.taps;
    const std::vector<size_t>& source = made.source;
    AtomicOutput(options.output).write(made.bytes());

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
        const std::vector<double> filter = minimumPhase(made.correction, ComplexFft(kFft));
        std::vector<double> before(table.size());
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
