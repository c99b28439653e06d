#include "plugin/AudioEffect.h"

#include "editor/AEffEditor.h"
#include "plugin/EffectEntries.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Copies at most maxLen characters of source and terminates at text[maxLen] like the
// formatters always have; the caller's buffer holds maxLen + 1 bytes.
void copyLimited(char* text, const char* source, int32_t maxLen) {
    if (maxLen < 0) return;
    std::strncpy(text, source, static_cast<size_t>(maxLen));
    text[maxLen] = 0;
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = &vstDispatcherEntry;
    cEffect.process = &vstProcessEntry;
    cEffect.setParameter = &vstSetParameterEntry;
    cEffect.getParameter = &vstGetParameterEntry;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = fourCharCode('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = &vstProcessReplacingEntry;
    cEffect.processDoubleReplacing = &vstProcessDoubleReplacingEntry;
}

AudioEffect::~AudioEffect() {
    delete editor;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, editor != nullptr);
}

void AudioEffect::setFlag(int32_t bit, bool state) {
    if (state)
        cEffect.flags |= bit;
    else
        cEffect.flags &= ~bit;
}

intptr_t AudioEffect::callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                               float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

intptr_t AudioEffect::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                 float opt) {
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        if (value >= 0 && value < numPrograms) setProgram(static_cast<int32_t>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        setProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetProgramName:
        getProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetParamLabel:
        getParameterLabel(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamDisplay:
        getParameterDisplay(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamName:
        getParameterName(index, static_cast<char*>(ptr));
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<int32_t>(value));
        return 0;
    case effMainsChanged:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;
    case effEditGetRect:
        return editor && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        return editor && editor->open(ptr) ? 1 : 0;
    case effEditClose:
        if (editor) editor->close();
        return 0;
    case effEditIdle:
        if (editor) editor->idle();
        return 0;
    case effIdentify:
        return fourCharCode('N', 'v', 'E', 'f');
    case effGetChunk:
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        return setChunk(ptr, static_cast<int32_t>(value), index != 0);
    default:
        return 0;
    }
}

void AudioEffect::processDoubleReplacing(double**, double**, int32_t) {}
void AudioEffect::process(float**, float**, int32_t) {}
void AudioEffect::setParameter(int32_t, float) {}
float AudioEffect::getParameter(int32_t) {
    return 0.0f;
}

void AudioEffect::setParameterAutomated(int32_t index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::setProgramName(char*) {}
void AudioEffect::getParameterLabel(int32_t, char* label) {
    *label = 0;
}
void AudioEffect::getParameterDisplay(int32_t, char* text) {
    *text = 0;
}
void AudioEffect::getParameterName(int32_t, char* text) {
    *text = 0;
}
int32_t AudioEffect::getChunk(void**, bool) {
    return 0;
}
int32_t AudioEffect::setChunk(void*, int32_t, bool) {
    return 0;
}

int32_t AudioEffect::getMasterVersion() {
    const intptr_t version = callHost(audioMasterVersion);
    return version == 0 ? 1 : static_cast<int32_t>(version);
}

int32_t AudioEffect::getCurrentUniqueId() {
    return static_cast<int32_t>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() {
    callHost(audioMasterIdle);
}

bool AudioEffect::isInputConnected(int32_t) {
    return true;
}
bool AudioEffect::isOutputConnected(int32_t) {
    return true;
}

void AudioEffect::dB2string(float value, char* text, int32_t maxLen) {
    if (value <= 0.0f) {
        copyLimited(text, "-oo", maxLen);
        return;
    }
    float2string(static_cast<float>(20.0 * std::log10(value)), text, maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, int32_t maxLen) {
    const float rate = getSampleRate();
    if (samples == 0.0f) {
        float2string(0.0f, text, maxLen);
        return;
    }
    float2string(rate / samples, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, int32_t maxLen) {
    float2string(static_cast<float>(samples * 1000.0 / getSampleRate()), text, maxLen);
}

void AudioEffect::float2string(float value, char* text, int32_t maxLen) {
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%.2f", static_cast<double>(value));
    copyLimited(text, buffer, maxLen);
}

void AudioEffect::int2string(int32_t value, char* text, int32_t maxLen) {
    if (value >= 100000000) {
        copyLimited(text, "Huge!", maxLen);
        return;
    }
    char buffer[16];
    char* out = buffer;
    // Widened so that the most negative value negates without overflow.
    int64_t magnitude = value;
    if (magnitude < 0) {
        *out++ = '-';
        magnitude = -magnitude;
    }
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    while (count > 0)
        *out++ = digits[--count];
    *out = 0;
    copyLimited(text, buffer, maxLen);
}
