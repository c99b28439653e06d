// The allocation counter of the audio-thread tests (AudioThreadAllocationTests.cpp): counts
// every allocation of the process made on a thread while its countHere is set.
#pragma once

#include <atomic>
#include <cstddef>

namespace allocationcount {
extern thread_local bool countHere;
extern std::atomic<size_t> counted;
} // namespace allocationcount
