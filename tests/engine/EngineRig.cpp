#include "tests/engine/EngineRig.h"

#include <algorithm>
#include <random>
#include <utility>

namespace enginetest {

void SyntheticTable::setTap(Ear ear, int32_t record, int32_t tap, int16_t value) {
    const size_t at = static_cast<size_t>(ear) * vorpane::kEarTableBytes +
                      static_cast<size_t>(record) * vorpane::kRecordBytes +
                      static_cast<size_t>(tap) * 2;
    const auto bits = static_cast<uint16_t>(value);
    bytes[at] = static_cast<unsigned char>(bits & 0xFF);
    bytes[at + 1] = static_cast<unsigned char>(bits >> 8);
}

SyntheticTable SyntheticTable::tapZeroOnly(int16_t value) {
    SyntheticTable table;
    for (int32_t d = 0; d < vorpane::kDirections; ++d) {
        table.setTap(Ear::left, d, 0, value);
        table.setTap(Ear::right, d, 0, value);
    }
    return table;
}

SyntheticTable SyntheticTable::recordMarkers() {
    SyntheticTable table;
    for (int32_t d = 0; d < vorpane::kDirections; ++d) {
        table.setTap(Ear::left, d, 0, static_cast<int16_t>(d + 1));
        table.setTap(Ear::right, d, 0, static_cast<int16_t>(-(d + 1)));
    }
    return table;
}

SyntheticTable SyntheticTable::random(uint32_t seed) {
    SyntheticTable table;
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> value(-32768, 32767);
    for (Ear ear : {Ear::left, Ear::right})
        for (int32_t d = 0; d < vorpane::kDirections; ++d)
            for (int32_t t = 0; t < vorpane::kTapsPerRecord; ++t)
                table.setTap(ear, d, t, static_cast<int16_t>(value(generator)));
    return table;
}

Stereo randomStereo(size_t frames, uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    Stereo signal(frames);
    for (size_t i = 0; i < frames; ++i) {
        signal.left[i] = value(generator); // float values, exactly representable both ways
        signal.right[i] = value(generator);
    }
    return signal;
}

bool embeddedTableIsEmpty() {
    const vorpane::HrirTable table = vorpane::embeddedHrirTable();
    for (size_t i = 0; i < vorpane::kHrirTableBytes; ++i)
        if (table.data()[i] != 0) return false;
    return true;
}

EngineRig::EngineRig(SyntheticTable table, fftreal::VectorTier widest)
    : table(std::move(table)), engine(std::make_unique<vorpane::BlockConvolver>(
                                   this->table.view(), azimuth, elevation, filtersDirty, widest)) {}

void EngineRig::setParameter(int32_t index, float value) {
    (index == 0 ? azimuth : elevation).store(value);
    filtersDirty.store(true);
}

namespace {

template <class Sample, class Process, class Change>
Stereo run(const Stereo& input, const std::vector<int32_t>& callSizes,
           const std::vector<ParameterChange>& changes, Process process, Change change) {
    Stereo output(input.frames());
    std::vector<Sample> inL, inR, outL, outR;
    size_t done = 0, nextChange = 0;
    for (size_t call = 0; done < input.frames(); ++call) {
        for (; nextChange < changes.size() && changes[nextChange].frame <= done; ++nextChange)
            change(changes[nextChange]);
        size_t frames = std::min<size_t>(static_cast<size_t>(callSizes[call % callSizes.size()]),
                                         input.frames() - done);
        if (nextChange < changes.size())
            frames = std::min(frames, changes[nextChange].frame - done);
        inL.assign(input.left.begin() + done, input.left.begin() + done + frames);
        inR.assign(input.right.begin() + done, input.right.begin() + done + frames);
        outL.assign(frames, Sample(99));
        outR.assign(frames, Sample(99));
        Sample* inputs[] = {inL.data(), inR.data()};
        Sample* outputs[] = {outL.data(), outR.data()};
        process(inputs, outputs, static_cast<int32_t>(frames));
        std::copy(outL.begin(), outL.end(), output.left.begin() + done);
        std::copy(outR.begin(), outR.end(), output.right.begin() + done);
        done += frames;
    }
    return output;
}

} // namespace

Stereo EngineRig::runFloat(const Stereo& input, const std::vector<int32_t>& callSizes,
                           const std::vector<ParameterChange>& changes) {
    return run<float>(
        input, callSizes, changes,
        [this](float** in, float** out, int32_t frames) {
            engine->processReplacing(in, out, frames);
        },
        [this](const ParameterChange& c) { setParameter(c.index, c.value); });
}

Stereo EngineRig::runDouble(const Stereo& input, const std::vector<int32_t>& callSizes) {
    return run<double>(
        input, callSizes, {},
        [this](double** in, double** out, int32_t frames) {
            engine->processDoubleReplacing(in, out, frames);
        },
        [](const ParameterChange&) {});
}

} // namespace enginetest
