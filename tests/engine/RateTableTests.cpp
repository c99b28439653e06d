// The tables for other rates: which rate a host's rate gives, how long the records are, what the
// resampler keeps and removes (measured on single records in Hz and dB), and how the process
// shares the tables between instances and hands them to the engine.
#include "engine/EarTableCache.h"
#include "engine/RecordResampler.h"
#include "engine/SampleRates.h"
#include "engine/TableHandOver.h"
#include "engine/TableResampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <vector>

using namespace vorpane;

namespace {

// The level of a response at f Hz, in dB.
double levelAt(const std::vector<float>& taps, double rate, double f) {
    std::complex<double> sum = 0.0;
    for (size_t t = 0; t < taps.size(); ++t)
        sum +=
            static_cast<double>(taps[t]) * std::polar(1.0, -2.0 * std::numbers::pi * f * t / rate);
    return 20.0 * std::log10(std::abs(sum));
}

std::vector<float> resampled(const std::vector<double>& record, double rate) {
    const RecordResampler resampler(rate);
    std::vector<float> out(static_cast<size_t>(resampler.taps()));
    resampler.resample(record.data(), 1, out.data());
    return out;
}

std::vector<double> impulseAt(int32_t tap) {
    std::vector<double> record(kTapsPerRecord, 0.0);
    record[static_cast<size_t>(tap)] = 1.0;
    return record;
}

// A tone of f Hz at 44.1 kHz under a Blackman-Harris window over the record: 92 dB down from
// 700 Hz off the tone on.
std::vector<double> toneRecord(double f) {
    std::vector<double> record(kTapsPerRecord);
    for (int32_t t = 0; t < kTapsPerRecord; ++t) {
        const double x = 2.0 * std::numbers::pi * (t + 0.5) / kTapsPerRecord;
        const double window =
            0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
        record[static_cast<size_t>(t)] =
            std::sin(2.0 * std::numbers::pi * f * t / kTableRate) * window;
    }
    return record;
}

std::vector<float> asFloats(const std::vector<double>& record) {
    return std::vector<float>(record.begin(), record.end());
}

} // namespace

TEST(SampleRates, AHostRateOutsideTheRangeTakesItsNearestEndAndNoRateStaysAt44100) {
    EXPECT_EQ(supportedRate(48000.0), 48000.0);
    EXPECT_EQ(supportedRate(8000.0), 8000.0);
    EXPECT_EQ(supportedRate(384000.0), 384000.0);
    EXPECT_EQ(supportedRate(4000.0), 8000.0);
    EXPECT_EQ(supportedRate(1e-30), 8000.0);
    EXPECT_EQ(supportedRate(768000.0), 384000.0);
    EXPECT_EQ(supportedRate(1e30), 384000.0);
    EXPECT_EQ(supportedRate(std::numeric_limits<double>::infinity()), 384000.0);
    EXPECT_EQ(supportedRate(0.0), 44100.0);
    EXPECT_EQ(supportedRate(-48000.0), 44100.0);
    EXPECT_EQ(supportedRate(-std::numeric_limits<double>::infinity()), 44100.0);
    EXPECT_EQ(supportedRate(std::numeric_limits<double>::quiet_NaN()), 44100.0);
}

TEST(SampleRates, RecordsLastAsLongAsTheTablesUpTo1025Taps) {
    EXPECT_EQ(tapsAtRate(44100.0), 256);
    EXPECT_EQ(tapsAtRate(8000.0), 46);
    EXPECT_EQ(tapsAtRate(22050.0), 128);
    EXPECT_EQ(tapsAtRate(48000.0), 279);
    EXPECT_EQ(tapsAtRate(96000.0), 557);
    EXPECT_EQ(tapsAtRate(176400.0), 1024);
    EXPECT_EQ(tapsAtRate(192000.0), 1025);
    EXPECT_EQ(tapsAtRate(384000.0), 1025);
}

TEST(RecordResampler, KeepsTimeAndLevelAndTheBandUpTo20kHzAndAddsNothingAboveIt) {
    for (double rate : {48000.0, 88200.0, 96000.0, 192000.0}) {
        // An impulse at tap 100 stays at 100 / 44100 s, with the same gain at every frequency
        // of the table's band up to 20 kHz.
        const std::vector<float> out = resampled(impulseAt(100), rate);
        const double at = 100.0 * rate / kTableRate;
        size_t peak = 0;
        for (size_t t = 0; t < out.size(); ++t)
            if (std::abs(out[t]) > std::abs(out[peak])) peak = t;
        EXPECT_LE(std::abs(static_cast<double>(peak) - at), 0.5) << rate;
        for (double f : {0.0, 100.0, 1000.0, 10000.0, 16000.0, 20000.0})
            EXPECT_NEAR(levelAt(out, rate, f), 0.0, 0.05) << rate << " Hz rate, " << f << " Hz";
        // Above the table's band: nothing but the kernel's transition up to 23.2 kHz.
        for (double f = 23200.0; f < rate / 2; f *= 1.05)
            EXPECT_LT(levelAt(out, rate, f), -80.0) << rate << " Hz rate, " << f << " Hz";
    }
}

TEST(RecordResampler, BelowTheTablesRateKeepsNineTenthsOfTheBandAndFoldsNothingBack) {
    for (double rate : {8000.0, 22050.0, 32000.0}) {
        const double nyquist = rate / 2;
        // A tone inside the new band keeps its level; one above the new Nyquist frequency does
        // not come back below it.
        for (double fraction : {0.1, 0.5, 0.9}) {
            const double f = fraction * nyquist;
            const std::vector<double> tone = toneRecord(f);
            EXPECT_NEAR(levelAt(resampled(tone, rate), rate, f),
                        levelAt(asFloats(tone), kTableRate, f), 0.05)
                << rate << " Hz rate, " << f << " Hz";
        }
        for (double f = 1.05 * nyquist + 700.0; f < 21000.0; f += 1000.0) {
            const std::vector<double> tone = toneRecord(f);
            const double toneLevel = levelAt(asFloats(tone), kTableRate, f);
            const std::vector<float> out = resampled(tone, rate);
            for (double g = 100.0; g < nyquist; g += 100.0)
                EXPECT_LT(levelAt(out, rate, g) - toneLevel, -70.0)
                    << rate << " Hz rate, tone at " << f << " Hz, seen at " << g << " Hz";
        }
    }
}

TEST(TableResampler, At44100TheTableIsTheStoredTapsExactly) {
    const HrirTable stored = embeddedHrirTable();
    const EarTable table = resampleTable(stored, kTableRate);
    ASSERT_EQ(table.taps(), kTapsPerRecord);
    for (Ear ear : {Ear::left, Ear::right})
        for (int32_t d : {0, 12, 612, 1249})
            for (int32_t t = 0; t < kTapsPerRecord; ++t)
                ASSERT_EQ(table.record(ear, d)[t], stored.tap(ear, d, t) / 32768.0);
}

TEST(EarTableCache, InstancesAtOneRateShareOneTableWhichGoesWithTheLastOfThem) {
    EarTableCache cache;
    const HrirTable stored = embeddedHrirTable();
    auto first = cache.tableFor(stored, 96000.0);
    auto second = cache.tableFor(stored, 96000.0);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(first->taps(), 557);
    EXPECT_EQ(cache.bytesHeld(), 2u * kDirections * 557u * sizeof(float));
    auto other = cache.tableFor(stored, 48000.0);
    EXPECT_NE(other.get(), first.get());
    EXPECT_EQ(cache.tablesHeld(), 2u);
    first.reset();
    EXPECT_EQ(cache.tablesHeld(), 2u); // second still holds it
    second.reset();
    other.reset();
    EXPECT_EQ(cache.tablesHeld(), 0u);
}

TEST(EarTableCache, ATableOfAnotherSourceIsKeptApartAndKeepsItsSourceAlive) {
    EarTableCache cache;
    auto bytes = std::make_shared<std::vector<unsigned char>>(kHrirTableBytes, 0);
    (*bytes)[2 * 100 + 1] = 0x40; // left record 0, tap 100: 16384, that is 0.5
    const HrirTable loaded(bytes->data());
    auto table = cache.tableFor(loaded, 88200.0, bytes);
    auto builtIn = cache.tableFor(embeddedHrirTable(), 88200.0);
    EXPECT_NE(table.get(), builtIn.get());
    double gain = 0.0; // at 0 Hz, the sum of the taps: the record's own
    for (int32_t t = 0; t < table->taps(); ++t)
        gain += table->record(Ear::left, 0)[t];
    EXPECT_NEAR(gain, 0.5, 1e-4);
    std::weak_ptr<std::vector<unsigned char>> watch = bytes;
    bytes.reset();
    EXPECT_FALSE(watch.expired());
    table.reset();
    EXPECT_TRUE(watch.expired());
}

TEST(TableHandOver, AnOfferedTableIsTakenUpAtTheNextRestartAndTheLastOfferWins) {
    auto at44 = std::make_shared<const EarTable>(44100.0, 256);
    auto at48 = std::make_shared<const EarTable>(48000.0, 279);
    auto at96 = std::make_shared<const EarTable>(96000.0, 557);
    TableHandOver handOver(at44);
    EXPECT_FALSE(handOver.takeUp());
    EXPECT_EQ(&handOver.current(), at44.get());
    handOver.offer(at48);
    handOver.offer(at96);
    EXPECT_EQ(&handOver.current(), at44.get());
    EXPECT_EQ(at48.use_count(), 1); // the replaced offer is let go at once
    EXPECT_TRUE(handOver.takeUp());
    EXPECT_EQ(&handOver.current(), at96.get());
    EXPECT_FALSE(handOver.takeUp());
    EXPECT_EQ(at44.use_count(), 2); // given up, freed by the next offer
    handOver.offer(at44);
    EXPECT_EQ(at44.use_count(), 2);
    EXPECT_TRUE(handOver.takeUp());
    EXPECT_EQ(&handOver.current(), at44.get());
}
