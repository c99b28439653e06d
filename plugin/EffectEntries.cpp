#include "plugin/EffectEntries.h"

#include "plugin/AudioEffect.h"

namespace {

AudioEffect* objectOf(AEffect* effect) {
    return effect ? static_cast<AudioEffect*>(effect->object) : nullptr;
}

// Requests whose pointer argument the plug-in writes or reads through. Hosts always pass a buffer
// with them; one that passes none gets 0 instead of a crash.
bool needsPointer(int32_t opcode) {
    switch (opcode) {
    case effSetProgramName:
    case effGetProgramName:
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
    case effEditGetRect:
    case effGetChunk:
    case effGetProgramNameIndexed:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
    case effCanDo:
        return true;
    default:
        return false;
    }
}

intptr_t dispatchEffectClass(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                             void* ptr, float opt) {
    AudioEffect* object = objectOf(effect);
    if (!object) return 0;
    if (!ptr && needsPointer(opcode)) return 0;
    if (opcode == effClose) {
        object->dispatcher(opcode, index, value, ptr, opt);
        delete object;
        return 1;
    }
    return object->dispatcher(opcode, index, value, ptr, opt);
}

} // namespace

intptr_t vstDispatcherEntry(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                            void* ptr, float opt) {
    try {
        return dispatchEffectClass(effect, opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

// Writes silence, so a host never plays back whatever its buffers held before.
static void silence(float** outputs, int32_t numOutputs, int32_t sampleFrames) {
    if (!outputs || sampleFrames <= 0) return;
    for (int32_t channel = 0; channel < numOutputs; ++channel)
        if (outputs[channel])
            for (int32_t i = 0; i < sampleFrames; ++i)
                outputs[channel][i] = 0.0f;
}

void vstProcessEntry(AEffect* effect, float** inputs, float** outputs, int32_t sampleFrames) {
    try {
        if (AudioEffect* object = objectOf(effect)) object->process(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void vstProcessReplacingEntry(AEffect* effect, float** inputs, float** outputs,
                              int32_t sampleFrames) {
    try {
        if (AudioEffect* object = objectOf(effect))
            object->processReplacing(inputs, outputs, sampleFrames);
    } catch (...) {
        silence(outputs, effect->numOutputs, sampleFrames);
    }
}

void vstProcessDoubleReplacingEntry(AEffect* effect, double** inputs, double** outputs,
                                    int32_t sampleFrames) {
    try {
        if (AudioEffect* object = objectOf(effect))
            object->processDoubleReplacing(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void vstSetParameterEntry(AEffect* effect, int32_t index, float parameter) {
    try {
        if (AudioEffect* object = objectOf(effect)) object->setParameter(index, parameter);
    } catch (...) {
    }
}

float vstGetParameterEntry(AEffect* effect, int32_t index) {
    try {
        if (AudioEffect* object = objectOf(effect)) return object->getParameter(index);
    } catch (...) {
    }
    return 0.0f;
}
