// A table of random responses for the benchmarks; the speed does not depend on the values.
#pragma once

#include "engine/HrirTable.h"

#include <vector>

namespace bench {

const std::vector<unsigned char>& randomTableBytes();
// Taps of the record that both parameters at 0.5 select, scaled like the engine scales them.
std::vector<double> recordTaps(vorpane::Ear ear);

} // namespace bench
