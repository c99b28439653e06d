#include "engine/EarTable.h"

namespace vorpane {

EarTable::EarTable(double rate, int32_t taps)
    : sampleRate(rate), tapCount(taps),
      samples(2 * static_cast<size_t>(kDirections) * static_cast<size_t>(taps), 0.0f) {}

} // namespace vorpane
