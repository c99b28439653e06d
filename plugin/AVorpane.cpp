#include "plugin/AVorpane.h"

#include "editor/VrpEditor.h"

#include "engine/EarTableCache.h"
#include "engine/EngineConstants.h"
#include "engine/HrirTable.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr int32_t kAzimuthIndex = 0;
constexpr int32_t kElevationIndex = 1;

} // namespace

AEffEditor* AVorpane::makePanel(AVorpane& plugin) {
    return new VrpEditor(&plugin);
}

AVorpane::AVorpane(audioMasterCallback audioMaster, EditorMaker makeEditor)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams),
      programs(std::make_unique<VrpProgram[]>(kNumPrograms)),
      engine(vorpane::builtInEarTable(getSampleRate()), azimuth, elevation, filtersDirty) {
    azimuth = 0.0f;
    elevation = 0.0f;
    applyProgram(0);
    filtersDirty = true;
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(kUniqueId);
    setInitialDelay(vorpane::kReportedLatency);
    try {
        if (makeEditor) setEditor(makeEditor(*this));
    } catch (...) {
        // A half-built editor is already freed; the record must not keep pointing at it.
        setEditor(nullptr);
        throw;
    }
}

AVorpane::~AVorpane() = default;

void AVorpane::suspend() {
    resumed = false;
    AudioEffectX::suspend();
}

void AVorpane::resume() {
    AudioEffectX::resume();
    engine.reserve(getBlockSize());
    engine.resume();
    resumed = true;
}

void AVorpane::setSampleRate(float newSampleRate) {
    AudioEffectX::setSampleRate(newSampleRate);
    engine.offerTable(vorpane::builtInEarTable(newSampleRate));
}

void AVorpane::setBlockSize(int32_t newBlockSize) {
    AudioEffectX::setBlockSize(newBlockSize);
    if (!resumed) engine.reserve(newBlockSize);
}

void AVorpane::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    if (sampleFrames <= 0 || !outputs) return;
    const bool complete = inputs && inputs[0] && inputs[1] && outputs[0] && outputs[1];
    if (!complete) {
        // A host that hands over no buffer for a channel gets silence in the buffers it did hand
        // over; the stream does not advance.
        for (int32_t channel = 0; channel < 2; ++channel)
            if (outputs[channel])
                std::fill(outputs[channel], outputs[channel] + sampleFrames, 0.0f);
        return;
    }
    engine.processReplacing(inputs, outputs, sampleFrames);
}

void AVorpane::setParameter(int32_t index, float value) {
    VrpProgram& program = programs[curProgram];
    // Hosts set parameters from several threads at once (user interface, automation, editor):
    // the program's copy is written atomically like the current value.
    if (index == kAzimuthIndex) {
        azimuth.store(value);
        std::atomic_ref<float>(program.azimuth).store(value, std::memory_order_relaxed);
    } else if (index == kElevationIndex) {
        elevation.store(value);
        std::atomic_ref<float>(program.elevation).store(value, std::memory_order_relaxed);
    }
    // Raised after the value is stored, so the audio thread, which clears the flag before it
    // reads the values, never misses a change.
    filtersDirty.store(true);
    // The editor shows the stored value (it reads it back from the plug-in).
    if (auto* gui = dynamic_cast<AEffGUIEditor*>(editor)) gui->setParameter(index, value);
}

float AVorpane::getParameter(int32_t index) {
    if (index == kAzimuthIndex) return azimuth.load();
    if (index == kElevationIndex) return elevation.load();
    return 0.0f;
}

void AVorpane::setProgramName(char* name) {
    char* target = programs[curProgram].name;
    constexpr size_t capacity = sizeof(VrpProgram::name);
    const size_t length = strnlen(name, capacity - 1);
    std::memcpy(target, name, length);
    target[length] = 0;
}

void AVorpane::getProgramName(char* name) {
    const char* stored = programs[curProgram].name;
    if (std::strcmp(stored, "Init") == 0)
        std::sprintf(name, "%s %d", stored, curProgram + 1);
    else
        std::strcpy(name, stored);
}

// Linux hosts read every text as UTF-8: the degree sign is the two bytes C2 B0, and the longer
// label with its terminator still fits the interface's 8-byte label limit.
void AVorpane::getParameterLabel(int32_t index, char* label) {
    if (index == kAzimuthIndex)
        std::strcpy(label, "Hor \xC2\xB0");
    else if (index == kElevationIndex)
        std::strcpy(label, "Vert \xC2\xB0");
}

void AVorpane::getParameterDisplay(int32_t index, char* text) {
    if (index == kAzimuthIndex)
        int2string(vorpane::azimuthStep(azimuth.load()), text, 8);
    else if (index == kElevationIndex)
        int2string(vorpane::elevationStep(elevation.load()), text, 8);
}

void AVorpane::getParameterName(int32_t index, char* text) {
    if (index == kAzimuthIndex)
        std::strcpy(text, "Azimuth");
    else if (index == kElevationIndex)
        std::strcpy(text, "Elevation");
}

bool AVorpane::getProgramNameIndexed(int32_t, int32_t index, char* text) {
    if (index != 0) return false;
    std::strcpy(text, programs[0].name);
    return true;
}

bool AVorpane::getEffectName(char* name) {
    std::strcpy(name, "Vorpane");
    return true;
}

bool AVorpane::getVendorString(char* text) {
    std::strcpy(text, "Farrowdale Audio");
    return true;
}

bool AVorpane::getProductString(char* text) {
    std::strcpy(text, "Vorpane");
    return true;
}

int32_t AVorpane::getVendorVersion() {
    return kVendorVersion;
}

int32_t AVorpane::getPlugCategory() {
    return kPlugCategEffect;
}

void AVorpane::applyProgram(int32_t index) {
    curProgram = index;
    VrpProgram& program = programs[index];
    setParameter(kAzimuthIndex,
                 std::atomic_ref<float>(program.azimuth).load(std::memory_order_relaxed));
    setParameter(kElevationIndex,
                 std::atomic_ref<float>(program.elevation).load(std::memory_order_relaxed));
}

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    try {
        return new AVorpane(audioMaster);
    } catch (...) {
        return nullptr;
    }
}
