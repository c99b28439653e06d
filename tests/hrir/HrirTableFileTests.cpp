// The committed table file: its identity, its scaling and the shape of the measured data.
#include "engine/HrirTable.h"
#include "hrtf/TableFigures.h"
#include "tests/hrir/KemarDirections.h"
#include "tests/support/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using vorpane::Ear;
using vorpane::HrirTable;
using vorpane::kAzimuthSteps;
using vorpane::kDirections;
using vorpane::kElevationSteps;
using vorpane::kHrirTableBytes;
using vorpane::kTapsPerRecord;
using vorpane::recordIndex;

namespace {

std::vector<unsigned char> readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<int16_t> record(const HrirTable& table, Ear ear, int32_t d) {
    std::vector<int16_t> taps(kTapsPerRecord);
    for (int32_t t = 0; t < kTapsPerRecord; ++t)
        taps[t] = table.tap(ear, d, t);
    return taps;
}

double energyDb(const std::vector<int16_t>& taps) {
    double e = 0.0;
    for (int16_t s : taps)
        e += static_cast<double>(s) * s;
    return 10.0 * std::log10(e);
}

int peakMagnitude(const std::vector<int16_t>& taps) {
    int peak = 0;
    for (int16_t s : taps)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

// The main onset: the first tap that reaches a tenth of the record's peak magnitude.
int onset(const std::vector<int16_t>& taps) {
    const int peak = peakMagnitude(taps);
    for (int t = 0; t < kTapsPerRecord; ++t)
        if (10 * std::abs(static_cast<int>(taps[t])) >= peak) return t;
    return kTapsPerRecord;
}

class CommittedTable : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        bytes = new std::vector<unsigned char>(readFile(VORPANE_HRIR_TABLE_FILE));
    }
    static void TearDownTestSuite() {
        delete bytes;
        bytes = nullptr;
    }
    void SetUp() override { ASSERT_EQ(bytes->size(), kHrirTableBytes); }

    HrirTable table() const { return HrirTable(bytes->data()); }
    double levelDifferenceDb(int a, int e) const {
        const int32_t d = recordIndex(a, e);
        return energyDb(record(table(), Ear::left, d)) - energyDb(record(table(), Ear::right, d));
    }

    static std::vector<unsigned char>* bytes;
};
std::vector<unsigned char>* CommittedTable::bytes = nullptr;

TEST(Sha256, KnownDigests) {
    EXPECT_EQ(testsupport::sha256Hex(nullptr, 0),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    const std::string abc = "abc";
    EXPECT_EQ(
        testsupport::sha256Hex(reinterpret_cast<const unsigned char*>(abc.data()), abc.size()),
        "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Two blocks: the padding does not fit behind the 56 bytes of the message.
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(
        testsupport::sha256Hex(reinterpret_cast<const unsigned char*>(two.data()), two.size()),
        "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST_F(CommittedTable, MatchesItsRecordedHash) {
    const std::vector<unsigned char> line = readFile(VORPANE_HRIR_TABLE_HASH_FILE);
    const std::string recorded(line.begin(), line.end());
    ASSERT_GE(recorded.size(), 64u);
    EXPECT_EQ(testsupport::sha256Hex(bytes->data(), bytes->size()), recorded.substr(0, 64));
    EXPECT_EQ(recorded.substr(64), "  hrir_table.bin\n");
}

TEST_F(CommittedTable, IsTheTableBuiltIntoTheLibrary) {
    EXPECT_EQ(std::memcmp(vorpane::embeddedHrirTable().data(), bytes->data(), kHrirTableBytes), 0);
}

TEST_F(CommittedTable, LargestMagnitudeIsANegativeFullScaleSample) {
    int16_t low = 0, high = 0;
    for (Ear ear : {Ear::left, Ear::right})
        for (int32_t d = 0; d < kDirections; ++d)
            for (int16_t s : record(table(), ear, d)) {
                low = std::min(low, s);
                high = std::max(high, s);
            }
    EXPECT_EQ(low, -32768);
    EXPECT_LT(high, 32767);
}

TEST_F(CommittedTable, EveryRecordCarriesAResponse) {
    for (Ear ear : {Ear::left, Ear::right})
        for (int32_t d = 0; d < kDirections; ++d)
            EXPECT_GE(peakMagnitude(record(table(), ear, d)), 1000)
                << "ear " << static_cast<int>(ear) << " record " << d;
}

TEST_F(CommittedTable, MainOnsetsLieBetweenTaps16And55) {
    for (Ear ear : {Ear::left, Ear::right})
        for (int32_t d = 0; d < kDirections; ++d) {
            const int t = onset(record(table(), ear, d));
            EXPECT_GE(t, 16) << "ear " << static_cast<int>(ear) << " record " << d;
            EXPECT_LE(t, 55) << "ear " << static_cast<int>(ear) << " record " << d;
        }
}

TEST_F(CommittedTable, LevelDifferencesRunFromLeftToRight) {
    for (int e = 0; e < kElevationSteps; ++e) {
        const double leftmost = levelDifferenceDb(0, e);
        EXPECT_GE(leftmost, 12.0) << "elevation step " << e;
        EXPECT_LE(leftmost, 15.0) << "elevation step " << e;
        const double middle = levelDifferenceDb(12, e);
        EXPECT_LE(std::fabs(middle), 4.0) << "elevation step " << e;
        const double rightmost = levelDifferenceDb(24, e);
        EXPECT_LE(rightmost, -13.0) << "elevation step " << e;
        EXPECT_GE(rightmost, -16.0) << "elevation step " << e;
    }
}

// What a listener hears of the table: a flat low end, the ears' level and time differences of a
// head, clean onsets, a positive gain at DC of similar size everywhere.
TEST_F(CommittedTable, SoundsLikeAHeadDownToTheLowestBass) {
    std::vector<int16_t> taps(bytes->size() / 2);
    for (size_t i = 0; i < taps.size(); ++i)
        taps[i] = static_cast<int16_t>((*bytes)[2 * i] | ((*bytes)[2 * i + 1] << 8));
    const TableFigures f = measureTable(taps);
    EXPECT_GE(f.lowEndLowestDb, -1.5);
    EXPECT_LE(f.lowEndHighestDb, 1.5);
    EXPECT_LE(f.lowEarDifferenceDb, 4.5);
    EXPECT_GE(f.timeDifferenceLowestMs, 0.6);
    EXPECT_LE(f.timeDifferenceHighestMs, 0.95);
    EXPECT_LE(f.preOnsetDb, -40.0);
    EXPECT_GE(f.sumLowest, 0.4);
    EXPECT_LE(f.sumHighest / f.sumLowest, 2.0);
}

// The measurements are symmetric (the right ear of a direction is the left ear of its mirror
// image), and so is the table wherever the nearest measurement is not a near tie.
TEST_F(CommittedTable, LeftAndRightAreMirrorImages) {
    int checked = 0;
    for (int e = 0; e < kElevationSteps; ++e)
        for (int a = 0; a < kAzimuthSteps; ++a) {
            const int m = kemar::nearestMeasurement(a, e);
            if (m == kemar::kAmbiguous) continue;
            ASSERT_EQ(kemar::nearestMeasurement(24 - a, e), kemar::mirroredMeasurement(m));
            EXPECT_EQ(record(table(), Ear::left, recordIndex(a, e)),
                      record(table(), Ear::right, recordIndex(24 - a, e)))
                << "azimuth step " << a << ", elevation step " << e;
            ++checked;
        }
    EXPECT_GT(checked, 1200);
}

// Each direction holds its nearest measurement: directions that share one hold the same pair of
// records, directions with different ones hold different records.
TEST_F(CommittedTable, RecordsFollowTheNearestMeasurement) {
    std::map<int, int32_t> firstRecordOf;
    std::map<std::vector<int16_t>, int> measurementOf;
    for (int e = 0; e < kElevationSteps; ++e)
        for (int a = 0; a < kAzimuthSteps; ++a) {
            const int m = kemar::nearestMeasurement(a, e);
            if (m == kemar::kAmbiguous) continue;
            const int32_t d = recordIndex(a, e);
            const auto [first, isNew] = firstRecordOf.emplace(m, d);
            if (!isNew) {
                EXPECT_EQ(record(table(), Ear::left, d), record(table(), Ear::left, first->second))
                    << "records " << d << " and " << first->second;
                EXPECT_EQ(record(table(), Ear::right, d),
                          record(table(), Ear::right, first->second))
                    << "records " << d << " and " << first->second;
            }
            const auto [known, isNewData] = measurementOf.emplace(record(table(), Ear::left, d), m);
            EXPECT_EQ(known->second, m) << "record " << d;
        }
    EXPECT_GT(firstRecordOf.size(), 500u);
    // All directions of the leftmost step are the one direction straight to the left.
    EXPECT_EQ(kemar::nearestMeasurement(0, 0), kemar::nearestMeasurement(0, 49));
}

} // namespace
