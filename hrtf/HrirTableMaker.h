// Makes the plug-in's HRIR table from a measured set: for every direction of the table the
// nearest measurement, diffuse-field equalised, its low end restored below 200 Hz, rebuilt as
// minimum phase behind the measurement's own onset (its pulse turned negative above 300 Hz, its
// gain at DC positive), cut to 256 taps and scaled to the full 16-bit range. The same code makes
// the committed table, a VORPANE_SOFA build's table and a table loaded at run time.
#pragma once

#include "hrtf/SofaSet.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct MadeTable {
    std::vector<int16_t> taps;      // the stored layout: left-ear records, then right-ear records
    std::vector<size_t> source;     // the measurement each record was made from
    std::vector<double> correction; // the diffuse-field correction's magnitude (4096-point bins)

    // The table as the engine reads it: 16-bit little-endian samples.
    std::vector<unsigned char> bytes() const;
};

class HrirTableMaker {
  public:
    static constexpr double kSampleRate = 44100.0;
    static constexpr size_t kFft = 4096; // spectra and minimum-phase rebuild at 44.1 kHz

    explicit HrirTableMaker(bool equalise = true) : equalise(equalise) {}

    // Throws std::runtime_error, one line naming the file and what is wrong, when the set gives
    // no usable table.
    MadeTable make(const SofaSet& set) const;

  private:
    bool equalise;
};
