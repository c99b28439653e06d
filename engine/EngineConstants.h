// Fixed numbers of the block convolver.
#pragma once

#include "engine/HrirTable.h"

#include <cstdint>

namespace vorpane {

constexpr int32_t kBlockLength = 1024;          // frames rendered per block
constexpr int32_t kTransformLength = 2048;      // zero-padded block length
constexpr int32_t kHrirLength = kTapsPerRecord; // taps per ear response at the table's 44.1 kHz
// The delay of the rendered signal at every rate: the output starts with 2047 zeros at 44.1 kHz,
// less the 256 by which each block's result starts before the end of the queue. At other rates
// the responses have other lengths (SampleRates.h) and the zeros grow and shrink with them.
constexpr int32_t kSignalDelay = kTransformLength - 1 - kHrirLength; // 1791 frames
// The latency reported to the host is the real delay of the rendered signal, so a host that
// compensates latency lines this track up with the others.
constexpr int32_t kReportedLatency = kSignalDelay;

static_assert(kSignalDelay == 1791);

} // namespace vorpane
