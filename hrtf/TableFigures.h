// The figures of an HRIR table that say whether it sounds right, read at 44.1 kHz: a flat low end,
// the ears' level and time differences, clean onsets and the gain at DC. The table is given in
// its stored layout: 1250 left-ear records, then 1250 right-ear records, 256 taps each.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

struct TableFigures {
    // Mean level 20-150 Hz minus mean level 200-400 Hz (means of the level in dB over the bins
    // of a 4096-point transform), over every record and ear (dB).
    double lowEndLowestDb = 0, lowEndMedianDb = 0, lowEndHighestDb = 0;
    // Largest difference between the ears' mean levels over 20-100 Hz, over records (dB).
    double lowEarDifferenceDb = 0;
    // Time difference between the ears at azimuth steps 0 and 24 (ms, magnitude): the lag of the
    // largest cross-correlation of the two responses below 1.5 kHz (hrtf/TimeDifference.h).
    double timeDifferenceLowestMs = 0, timeDifferenceHighestMs = 0;
    // Largest energy ahead of a record's onset (first tap at a tenth of its peak), against the
    // record's energy (dB).
    double preOnsetDb = 0;
    // Tap sums (gain at DC) in full scale: smallest and largest.
    double sumLowest = 0, sumHighest = 0;
    // Energy of the left ear's record minus the right ear's (dB), at azimuth steps 0, 12 and 24:
    // lowest and highest over the elevation steps.
    std::array<double, 3> levelDifferenceLowestDb{}, levelDifferenceHighestDb{};
    // Main onsets (first tap at a tenth of the peak): earliest and latest.
    int onsetFirst = 0, onsetLast = 0;
};

TableFigures measureTable(const std::vector<int16_t>& table);
void printTableFigures(const TableFigures& figures, std::FILE* out);

// How much the shape of the responses above 1.5 kHz differs from reference responses (same
// layout, any scale): for each record and ear the RMS of the difference in dB after removing
// its mean, and of those the 95th percentile.
double shapeChangeDb(const std::vector<int16_t>& table, const std::vector<double>& reference);
