// Where the arrays of the convolver's split route lie in its one work area, in doubles from the
// area's start. Each array of 2048 doubles spans 16 KiB, a multiple of 4 KiB, so arrays laid end
// to end would all start at the same address modulo 4 KiB; a sweep that reads one of them while
// it writes another then has its loads held up behind stores that match them in the low 12
// address bits ("4K aliasing"). A gap after each array puts consecutive arrays kGap apart
// modulo 4 KiB instead. The gap was measured, not guessed: see docs/DEVELOPING.md.
#pragma once

#include "engine/EngineConstants.h"

#include <cstddef>

namespace vorpane::splitroute {

#if defined(VORPANE_SPLIT_ROUTE_GAP)
constexpr size_t kGap = VORPANE_SPLIT_ROUTE_GAP; // for measuring other gaps
#else
constexpr size_t kGap = 448; // 3.5 KiB
#endif
constexpr size_t kArray = kTransformLength;
// A filter spectrum in the middle sweep's order (2052 values), rounded up to whole cache lines.
constexpr size_t kFilter = kTransformLength + 8;

// The transforms' scratch, the block after the forward passes but the last (the fading-out part
// of a fading block in the second), the result of the middle sweep, then the filters: for each
// channel the current one and the one a fading block fades from.
constexpr size_t kWork = 0;
constexpr size_t kPartial = kWork + kArray + kGap;
constexpr size_t kFadingPartial = kPartial + kArray + kGap;
constexpr size_t kMiddle = kFadingPartial + kArray + kGap;
constexpr size_t kFilters = kMiddle + kArray + kGap;
constexpr size_t filter(int channel, bool previous) {
    return kFilters + (2 * static_cast<size_t>(channel) + (previous ? 1 : 0)) * kFilter;
}
constexpr size_t kLength = filter(2, false);

} // namespace vorpane::splitroute
