// A convolver on a table of the test's own, with the direction values it reads, and helpers to
// stream signals through it.
#pragma once

#include "engine/BlockConvolver.h"
#include "engine/HrirTable.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace enginetest {

using vorpane::Ear;

// A table in the stored format, all taps zero until set.
class SyntheticTable {
  public:
    SyntheticTable() : bytes(vorpane::kHrirTableBytes, 0) {}

    void setTap(Ear ear, int32_t record, int32_t tap, int16_t value);
    int16_t tap(Ear ear, int32_t record, int32_t t) const { return view().tap(ear, record, t); }
    vorpane::HrirTable view() const { return vorpane::HrirTable(bytes.data()); }

    // Every record of both ears has only tap 0 set, to value.
    static SyntheticTable tapZeroOnly(int16_t value);
    // Tap 0 of each record tells the record: d + 1 on the left ear, -(d + 1) on the right.
    static SyntheticTable recordMarkers();
    // Random taps everywhere.
    static SyntheticTable random(uint32_t seed);

  private:
    std::vector<unsigned char> bytes;
};

struct Stereo {
    std::vector<double> left, right;
    explicit Stereo(size_t frames = 0) : left(frames, 0.0), right(frames, 0.0) {}
    size_t frames() const { return left.size(); }
};

Stereo randomStereo(size_t frames, uint32_t seed);

// True while the built-in table is an all-zero placeholder.
bool embeddedTableIsEmpty();

// A parameter change that arrives just before the given input frame.
struct ParameterChange {
    size_t frame;
    int32_t index;
    float value;
};

class EngineRig {
  public:
    // Keeps its own copy of the table, which the engine reads; the engine uses vector
    // instructions up to widest.
    EngineRig(SyntheticTable table, fftreal::VectorTier widest);

    // Stores a parameter value and raises the rebuild flag, as the plug-in's setParameter does.
    void setParameter(int32_t index, float value);

    // Streams input through processReplacing in calls of the given sizes, repeated as needed;
    // a call is cut short where a change arrives.
    Stereo runFloat(const Stereo& input, const std::vector<int32_t>& callSizes,
                    const std::vector<ParameterChange>& changes = {});
    // The same through the double-precision path.
    Stereo runDouble(const Stereo& input, const std::vector<int32_t>& callSizes);

    SyntheticTable table;
    std::atomic<float> azimuth{0.5f};
    std::atomic<float> elevation{0.5f};
    std::atomic<bool> filtersDirty{true};
    std::unique_ptr<vorpane::BlockConvolver> engine;
};

} // namespace enginetest
