#include "engine/SampleQueue.h"

#include <algorithm>
#include <cstring>

namespace vorpane {

void SampleQueue::reserve(size_t samples) {
    if (samples <= allocated) return;
    std::unique_ptr<double[]> grown(new double[samples]);
    const size_t live = size();
    if (live > 0) std::memcpy(grown.get(), data(), live * sizeof(double));
    storage = std::move(grown);
    allocated = samples;
    head = 0;
    tail = live;
}

void SampleQueue::makeRoom(size_t count) {
    if (size() + count <= allocated)
        compact();
    else
        reserve(std::max(2 * allocated, 2 * (size() + count)));
}

void SampleQueue::appendZeros(size_t count) {
    prepareAppend(count);
    std::fill(storage.get() + tail, storage.get() + tail + count, 0.0);
    tail += count;
}

void SampleQueue::compact() {
    const size_t live = size();
    if (head > 0 && live > 0) std::memmove(storage.get(), data(), live * sizeof(double));
    head = 0;
    tail = live;
}

} // namespace vorpane
