// The table keeps the measured set's time difference between the ears at low frequencies, for
// every direction, within one tap: each record pair measured as the generator measures the set
// (cross-correlation below 1.5 kHz, hrtf/TimeDifference.h).
#include "engine/HrirTable.h"
#include "hrtf/SofaFile.h"
#include "hrtf/TableDirections.h"
#include "hrtf/TimeDifference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr const char* kSofaFile = "/usr/share/libmysofa/MIT_KEMAR_normal_pinna.sofa";
constexpr double kTableRate = 44100.0;

std::vector<double> taps(const vorpane::HrirTable& table, vorpane::Ear ear, int32_t d) {
    std::vector<double> out(vorpane::kTapsPerRecord);
    for (int32_t t = 0; t < vorpane::kTapsPerRecord; ++t)
        out[t] = table.tap(ear, d, t) / 32768.0;
    return out;
}

} // namespace

TEST(TableTimeDifference, KeepsTheMeasuredTimeDifferenceAtLowFrequenciesWithinOneTap) {
    ASSERT_TRUE(std::filesystem::exists(kSofaFile))
        << kSofaFile << " is missing: install libmysofa1";
    std::ifstream in(VORPANE_HRIR_TABLE_FILE, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                           std::istreambuf_iterator<char>()};
    ASSERT_EQ(bytes.size(), vorpane::kHrirTableBytes);
    const vorpane::HrirTable table(bytes.data());
    const SofaSet set = readSofaFile(kSofaFile);
    double worst = 0, sum = 0;
    for (int e = 0; e < hrirgrid::kElevationSteps; ++e)
        for (int a = 0; a < hrirgrid::kAzimuthSteps; ++a) {
            const MeasuredDirection& m = set.measurements()[set.nearest(hrirgrid::direction(a, e))];
            const double wanted = lowFrequencyTimeDifference(
                m.response[0], m.delay[0], m.response[1], m.delay[1], set.sampleRate());
            const int32_t d = vorpane::recordIndex(a, e);
            const double made =
                lowFrequencyTimeDifference(taps(table, vorpane::Ear::left, d), 0.0,
                                           taps(table, vorpane::Ear::right, d), 0.0, kTableRate);
            const double error = std::fabs(made - wanted);
            EXPECT_LE(error, 1.0 / kTableRate) << "azimuth step " << a << ", elevation step " << e;
            worst = std::max(worst, error);
            sum += error;
        }
    std::printf("low-frequency time difference against the measured set's: largest error %.1f "
                "us, mean %.1f us\n",
                worst * 1e6, sum / vorpane::kDirections * 1e6);
}
