// Fixed numbers of the block convolver.
#pragma once

#include "engine/HrirTable.h"

#include <cstdint>

namespace vorpane {

constexpr int32_t kBlockLength = 1024;                                 // frames rendered per block
constexpr int32_t kTransformLength = 2048;                             // zero-padded block length
constexpr int32_t kHrirLength = kTapsPerRecord;                        // taps per ear response
constexpr int32_t kBlockResultLength = kBlockLength + kHrirLength - 1; // 1279 samples added
constexpr int32_t kWriteBack = kHrirLength;                            // 256 before queue end
constexpr int32_t kPrimedOutputZeros = kTransformLength - 1;           // 2047
constexpr int32_t kSignalDelay = kPrimedOutputZeros - kWriteBack;      // 1791 frames
// The latency reported to the host is the real delay of the rendered signal, so a host that
// compensates latency lines this track up with the others.
constexpr int32_t kReportedLatency = kSignalDelay;

static_assert(kSignalDelay == 1791);

} // namespace vorpane
