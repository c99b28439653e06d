// A plug-in built around a table made from another measured set (a spherical head written by the
// build), and the table generator's refusal of files it cannot make a table from.
#include "hrtf/TimeDifference.h"
#include "tests/sofa/SphericalHead.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kTableRate = 44100.0;
constexpr int kLatency = 1791;

// The plug-in's response of each ear for one direction: an impulse on both inputs.
std::array<std::vector<double>, 2> render(float azimuth) {
    testhost::TestHost host;
    EXPECT_NE(host.load(), nullptr);
    host.setParameter(0, azimuth);
    host.setParameter(1, 0.5f);
    std::vector<float> in(4096, 0.0f), outL(in.size()), outR(in.size());
    in[0] = 1.0f;
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {outL.data(), outR.data()};
    host.process(inputs, outputs, static_cast<int32_t>(in.size()));
    return {std::vector<double>(outL.begin() + kLatency, outL.begin() + kLatency + 256),
            std::vector<double>(outR.begin() + kLatency, outR.begin() + kLatency + 256)};
}

double magnitudeDb(const std::vector<double>& h, double hz, double rate) {
    std::complex<double> sum = 0;
    for (size_t t = 0; t < h.size(); ++t)
        sum += h[t] * std::polar(1.0, -2 * std::numbers::pi * hz / rate * static_cast<double>(t));
    return 20 * std::log10(std::abs(sum));
}

int onset(const std::vector<double>& h) {
    double peak = 0;
    for (double v : h)
        peak = std::max(peak, std::fabs(v));
    int t = 0;
    while (10 * std::fabs(h[t]) < peak)
        ++t;
    return t;
}

struct ToolRun {
    int status = -1;
    std::string out, err;
};

ToolRun runTool(const std::string& command, const fs::path& dir) {
    ToolRun run;
    const int status = std::system(
        (command + " >'" + (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'")
            .c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    for (auto [name, text] : {std::pair{"out", &run.out}, std::pair{"err", &run.err}}) {
        std::ifstream in(dir / name);
        text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return run;
}

} // namespace

// Far left and far right, the table keeps the head's time and level differences and a flat low end.
TEST(SofaBuild, PlacesSoundAsTheMeasuredHeadDoes) {
    const double ears[2] = {0.0, std::numbers::pi}; // the source at the left ear
    const std::vector<double> near = sphericalhead::impulseResponse(ears[0]);
    const std::vector<double> far = sphericalhead::impulseResponse(ears[1]);
    const double modelLevel = magnitudeDb(near, 10000, sphericalhead::kRate) -
                              magnitudeDb(far, 10000, sphericalhead::kRate);
    const double modelDelay =
        (sphericalhead::delaySamples(ears[1]) - sphericalhead::delaySamples(ears[0])) /
        sphericalhead::kRate * kTableRate;
    const double modelLowDelay =
        lowFrequencyTimeDifference(near, sphericalhead::delaySamples(ears[0]), far,
                                   sphericalhead::delaySamples(ears[1]), sphericalhead::kRate);
    for (float azimuth : {0.0f, 1.0f}) {
        const auto h = render(azimuth);
        const std::vector<double>& nearEar = h[azimuth == 0.0f ? 0 : 1];
        const std::vector<double>& farEar = h[azimuth == 0.0f ? 1 : 0];
        EXPECT_NEAR(onset(farEar) - onset(nearEar), modelDelay, 1.5) << azimuth;
        // At low frequencies the time difference is the head's, within one tap.
        EXPECT_NEAR(lowFrequencyTimeDifference(nearEar, 0, farEar, 0, kTableRate), modelLowDelay,
                    1.0 / kTableRate)
            << azimuth;
        EXPECT_NEAR(magnitudeDb(nearEar, 10000, kTableRate) -
                        magnitudeDb(farEar, 10000, kTableRate),
                    modelLevel, 1.0)
            << azimuth;
        EXPECT_NEAR(magnitudeDb(nearEar, 40, kTableRate), magnitudeDb(nearEar, 300, kTableRate),
                    1.5)
            << azimuth;
    }
}

TEST(SofaBuild, RefusesABadFileInOneLineAndWritesNothing) {
    const fs::path dir = fs::temp_directory_path() / ("sofa-tests-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "text.sofa") << "not a SOFA file\n";
    const struct {
        const char* variant; // written by write-test-sofa, or a file of its own
        const char* reason;
    } cases[] = {{"convention", "GeneralFIR"},
                 {"one-receiver", "1 receiver"},
                 {"no-horizontal", "horizontal plane"},
                 {"text", "not a SOFA file"},
                 {"missing", "no such file"}};
    for (const auto& c : cases) {
        const fs::path sofa = dir / (std::string(c.variant) + ".sofa");
        const fs::path cdl = dir / (std::string(c.variant) + ".cdl");
        if (std::string(c.variant) != "text" && std::string(c.variant) != "missing") {
            ASSERT_EQ(runTool(std::string(WRITE_TEST_SOFA " ") + c.variant + " '" + cdl.string() +
                                  "' && " NCGEN " -k nc4 -o '" + sofa.string() + "' '" +
                                  cdl.string() + "'",
                              dir)
                          .status,
                      0)
                << c.variant;
        }
        const fs::path table = dir / "table.bin";
        const ToolRun run = runTool(std::string("'" VORPANE_MAKE_HRIR_TABLE "' --sofa '") +
                                        sofa.string() + "' '" + table.string() + "'",
                                    dir);
        EXPECT_NE(run.status, 0) << c.variant;
        EXPECT_EQ(run.err.rfind("make-hrir-table: " + sofa.string() + ": ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_FALSE(fs::exists(table)) << c.variant;
        EXPECT_FALSE(fs::exists(table.string() + ".part")) << c.variant;
    }
    fs::remove_all(dir);
}
