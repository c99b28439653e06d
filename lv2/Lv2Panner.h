// The LV2 plug-in's audio side: the engine behind LV2's ports. The direction ports hold angles
// in degrees; run() turns a changed angle into the normalised direction value the engine reads
// and asks it for new ear filters, which it builds at its next block. The "HRTF file" parameter
// changes the table the engine reads (HrtfFileParameter).
#pragma once

#include "engine/BlockConvolver.h"
#include "lv2/HrtfFileParameter.h"

#include <lv2/core/lv2.h>

#include <atomic>
#include <cstdint>

namespace vorpane::lv2 {

class Lv2Panner {
  public:
    // At the host's rate: the ear table for it is made here, or shared with the instances that
    // already render at it. The features and the bundle's path are the host's (instantiate's).
    explicit Lv2Panner(double sampleRate = 44100.0, const LV2_Feature* const* features = nullptr,
                       const char* bundlePath = nullptr);

    void connectPort(uint32_t port, void* data);
    // Restarts the output, as the VST plug-in's resume does.
    void activate();
    // Any number of frames; allocates nothing and takes no lock.
    void run(uint32_t frames);

    HrtfFileParameter& hrtfFile() { return file; }

  private:
    void followDirection();

    std::atomic<float> azimuth{0.5f};
    std::atomic<float> elevation{0.5f};
    std::atomic<bool> filtersDirty{true};
    BlockConvolver engine;
    HrtfFileParameter file;

    const float* inputs[2] = {};
    float* outputs[2] = {};
    const float* azimuthPort = nullptr;
    const float* elevationPort = nullptr;
    float* latencyPort = nullptr;
    // The angles last turned into values, by their bits; a NaN no host writes before the first run.
    float azimuthSeen;
    float elevationSeen;
};

} // namespace vorpane::lv2
