// A first-in first-out queue of samples kept in one contiguous array: new samples go to the
// end, consumed ones leave from the front. Removing from the front only moves a start index;
// the live samples are moved down when the array's end is reached, so the cost per sample stays
// constant whatever the sizes of the pieces. Memory is only allocated when the queue outgrows
// its reserved capacity.
#pragma once

#include <cstddef>
#include <memory>

namespace vorpane {

class SampleQueue {
  public:
    size_t size() const { return tail - head; }
    size_t capacity() const { return allocated; }

    // The front sample; the live samples follow it contiguously.
    double* data() { return storage.get() + head; }
    const double* data() const { return storage.get() + head; }

    // Makes room for at least this many samples, so that the queue can hold them without
    // allocating. Never shrinks.
    void reserve(size_t samples);
    // Makes sure that count more samples can be appended without allocating.
    void prepareAppend(size_t count) {
        if (tail + count > allocated) makeRoom(count);
    }
    void appendZeros(size_t count);
    // Appends count samples without setting them; the caller writes them before they are read.
    // Returns the first of them.
    double* appendUnset(size_t count) {
        prepareAppend(count);
        double* first = storage.get() + tail;
        tail += count;
        return first;
    }
    void removeFront(size_t count) {
        head += count < size() ? count : size();
        if (head == tail) head = tail = 0;
    }
    // Removes the front sample and returns it; the queue must not be empty. Cheaper than
    // removeFront(1) for callers that take one sample at a time.
    double takeFront() { return storage[head++]; }
    void clear() { head = tail = 0; }

  private:
    void makeRoom(size_t count);
    void compact();

    std::unique_ptr<double[]> storage;
    size_t allocated = 0;
    size_t head = 0;
    size_t tail = 0;
};

} // namespace vorpane
