#include "lv2/Lv2Panner.h"

#include "engine/DirectionAngles.h"
#include "engine/EarTableCache.h"
#include "engine/EngineConstants.h"
#include "engine/HrirTable.h"
#include "lv2/Lv2Ports.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vorpane::lv2 {

namespace {

// A NaN with every payload bit set, which no arithmetic produces, so the first angle a host
// writes, whatever it is, counts as a change.
const float kNeverSeen = std::bit_cast<float>(0xFFFFFFFFu);

// Turns a changed angle into the value the engine reads. Angles are compared by their bits, so an
// unchanged port costs nothing, a NaN included (the engine then reads the scale's value for it).
void follow(const float* port, float& seen, const AngleScale& scale, std::atomic<float>& value,
            std::atomic<bool>& filtersDirty) {
    if (!port) return;
    const float angle = *port;
    if (std::memcmp(&angle, &seen, sizeof angle) == 0) return;
    seen = angle;
    value.store(scale.value(angle));
    filtersDirty.store(true);
}

} // namespace

Lv2Panner::Lv2Panner(double sampleRate, const LV2_Feature* const* features, const char* bundlePath)
    : engine(builtInEarTable(sampleRate), azimuth, elevation, filtersDirty),
      file(engine, features, bundlePath ? bundlePath : ""), azimuthSeen(kNeverSeen),
      elevationSeen(kNeverSeen) {}

void Lv2Panner::connectPort(uint32_t port, void* data) {
    switch (port) {
    case kInputLeft:
    case kInputRight:
        inputs[port - kInputLeft] = static_cast<const float*>(data);
        break;
    case kOutputLeft:
    case kOutputRight:
        outputs[port - kOutputLeft] = static_cast<float*>(data);
        break;
    case kAzimuth:
        azimuthPort = static_cast<const float*>(data);
        break;
    case kElevation:
        elevationPort = static_cast<const float*>(data);
        break;
    case kLatency:
        latencyPort = static_cast<float*>(data);
        break;
    case kControl:
        file.connectControl(data);
        break;
    case kNotify:
        file.connectNotify(data);
        break;
    default:
        break;
    }
}

void Lv2Panner::activate() {
    engine.resume();
}

void Lv2Panner::followDirection() {
    follow(azimuthPort, azimuthSeen, kAzimuthDegrees, azimuth, filtersDirty);
    follow(elevationPort, elevationSeen, kElevationDegrees, elevation, filtersDirty);
}

void Lv2Panner::run(uint32_t frames) {
    if (latencyPort) *latencyPort = static_cast<float>(kSignalDelay);
    followDirection();
    file.run();
    if (!outputs[0] || !outputs[1]) return;
    if (!inputs[0] || !inputs[1]) {
        std::fill(outputs[0], outputs[0] + frames, 0.0f);
        std::fill(outputs[1], outputs[1] + frames, 0.0f);
        return;
    }
    // The engine processes blocks up to its prepared size without allocating; longer host blocks
    // go through in pieces of that size, which gives the same stream.
    uint32_t done = 0;
    while (done < frames) {
        const uint32_t count =
            std::min<uint32_t>(frames - done, BlockConvolver::kPreparedBlockSize);
        float* in[2] = {const_cast<float*>(inputs[0]) + done, const_cast<float*>(inputs[1]) + done};
        float* out[2] = {outputs[0] + done, outputs[1] + done};
        engine.processReplacing(in, out, static_cast<int32_t>(count));
        done += count;
    }
}

} // namespace vorpane::lv2
