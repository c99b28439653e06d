#include "vstgui/platform/NullPlatform.h"

#include <cerrno>
#include <time.h>

namespace VSTGUI::platform {

uint32_t NullPlatform::tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Milliseconds, wrapping around at 2^32 as the unsigned arithmetic does on its own.
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

void NullPlatform::sleep(uint32_t milliseconds) {
    timespec pause{static_cast<time_t>(milliseconds / 1000),
                   static_cast<long>(milliseconds % 1000) * 1000000L};
    // Resumed after a signal for the rest of the pause; any other failure ends it.
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

} // namespace VSTGUI::platform
