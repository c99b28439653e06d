// The progress line vorpane-render keeps on a terminal: how much of the file is rendered and how
// fast, rewritten in place a few times a second and cleared at the end.
#pragma once

#include <chrono>
#include <cstdio>

namespace render {

class ProgressLine {
  public:
    // Writes to `stream` only when `shown`; a stream that is not a terminal gets nothing.
    ProgressLine(std::FILE* stream, bool shown, int sampleRate);
    ~ProgressLine();

    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // `done` of `total` frames rendered; redraws when the last update is old enough.
    void update(size_t done, size_t total);
    // Removes the line, leaving the cursor at the start of an empty line.
    void clear();

  private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{200};

    std::FILE* stream;
    bool shown;
    bool drawn = false;
    int sampleRate;
    Clock::time_point start = Clock::now();
    Clock::time_point last{};
};

} // namespace render
