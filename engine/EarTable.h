// The responses the ear filters are made from, at the rate the engine renders at: for each ear
// and each of the table's directions one record of taps(), as floats in the signal's own scale
// (full scale 1). Made from a stored 44.1 kHz table by TableResampler and shared, read-only,
// between the instances that render at its rate (EarTableCache).
#pragma once

#include "engine/HrirTable.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorpane {

class EarTable {
  public:
    // A table of silent records.
    EarTable(double rate, int32_t taps);

    double rate() const { return sampleRate; }
    int32_t taps() const { return tapCount; }
    const float* record(Ear ear, int32_t record) const {
        return samples.data() + offset(ear, record);
    }
    float* record(Ear ear, int32_t record) { return samples.data() + offset(ear, record); }
    // The memory the records take.
    size_t bytes() const { return samples.size() * sizeof(float); }

  private:
    size_t offset(Ear ear, int32_t record) const {
        return (static_cast<size_t>(ear) * kDirections + static_cast<size_t>(record)) *
               static_cast<size_t>(tapCount);
    }

    double sampleRate;
    int32_t tapCount;
    std::vector<float> samples;
};

} // namespace vorpane
