#include "tools/vorpane-render/ProgressLine.h"

namespace render {

ProgressLine::ProgressLine(std::FILE* stream, bool shown, int sampleRate)
    : stream(stream), shown(shown), sampleRate(sampleRate) {}

ProgressLine::~ProgressLine() {
    clear();
}

void ProgressLine::update(size_t done, size_t total) {
    if (!shown) return;
    const Clock::time_point now = Clock::now();
    if (drawn && now - last < kInterval) return;
    last = now;
    const double percent = total ? 100.0 * static_cast<double>(done) / total : 100.0;
    const double seconds = std::chrono::duration<double>(now - start).count();
    const double audio = sampleRate > 0 ? static_cast<double>(done) / sampleRate : 0.0;
    if (done > 0 && seconds > 0.0)
        std::fprintf(stream, "\r\033[Krendering %3.0f%%, %.1f x real time", percent,
                     audio / seconds);
    else
        std::fprintf(stream, "\r\033[Krendering %3.0f%%", percent);
    std::fflush(stream);
    drawn = true;
}

void ProgressLine::clear() {
    if (!drawn) return;
    std::fputs("\r\033[K", stream);
    std::fflush(stream);
    drawn = false;
}

} // namespace render
