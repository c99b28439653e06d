#include "engine/TableResampler.h"

#include "engine/RecordResampler.h"
#include "engine/SampleRates.h"

#include <vector>

namespace vorpane {

namespace {

constexpr double kTapScale = 1.0 / 32768.0;

} // namespace

EarTable resampleTable(HrirTable source, double rate) {
    if (rate == kTableRate) {
        // The stored values exactly: a 16-bit tap over 32768 is a float without rounding.
        EarTable table(rate, kTapsPerRecord);
        for (int ear = 0; ear < 2; ++ear)
            for (int32_t d = 0; d < kDirections; ++d) {
                float* taps = table.record(static_cast<Ear>(ear), d);
                for (int32_t t = 0; t < kTapsPerRecord; ++t)
                    taps[t] =
                        static_cast<float>(source.tap(static_cast<Ear>(ear), d, t) * kTapScale);
            }
        return table;
    }
    // Both ears' records side by side, tap by tap, for the resampler; they come out one after
    // the other, left ear first, as the table keeps them.
    constexpr size_t kRecords = 2 * static_cast<size_t>(kDirections);
    std::vector<double> records(kRecords * kTapsPerRecord);
    for (int ear = 0; ear < 2; ++ear)
        for (int32_t d = 0; d < kDirections; ++d)
            for (int32_t t = 0; t < kTapsPerRecord; ++t)
                records[static_cast<size_t>(t) * kRecords + static_cast<size_t>(ear) * kDirections +
                        static_cast<size_t>(d)] =
                    source.tap(static_cast<Ear>(ear), d, t) * kTapScale;
    const RecordResampler resampler(rate);
    EarTable table(rate, resampler.taps());
    resampler.resample(records.data(), kRecords, table.record(Ear::left, 0));
    return table;
}

} // namespace vorpane
