#include "plugin/AudioEffectX.h"

#include "editor/AEffEditor.h"

#include <cmath>

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
    : AudioEffect(audioMaster, numPrograms, numParams) {}

AudioEffectX::~AudioEffectX() = default;

intptr_t AudioEffectX::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt) {
    switch (opcode) {
    case effProcessEvents:
        return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
        return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
        return string2parameter(index, static_cast<char*>(ptr)) ? 1 : 0;
    case effGetProgramNameIndexed:
        return getProgramNameIndexed(static_cast<int32_t>(value), index, static_cast<char*>(ptr))
                   ? 1
                   : 0;
    case effGetInputProperties:
        return getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetOutputProperties:
        return getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effOfflineNotify:
        return offlineNotify(static_cast<VstAudioFile*>(ptr), static_cast<int32_t>(value),
                             index != 0)
                   ? 1
                   : 0;
    case effOfflinePrepare:
        return offlinePrepare(static_cast<VstOfflineTask*>(ptr), static_cast<int32_t>(value)) ? 1
                                                                                              : 0;
    case effOfflineRun:
        return offlineRun(static_cast<VstOfflineTask*>(ptr), static_cast<int32_t>(value)) ? 1 : 0;
    case effProcessVarIo:
        return processVariableIo(static_cast<VstVariableIo*>(ptr)) ? 1 : 0;
    case effSetSpeakerArrangement:
        return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                     static_cast<VstSpeakerArrangement*>(ptr))
                   ? 1
                   : 0;
    case effSetBypass:
        return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
        return getEffectName(static_cast<char*>(ptr)) ? 1 : 0;
    case effGetVendorString:
        return getVendorString(static_cast<char*>(ptr)) ? 1 : 0;
    case effGetProductString:
        return getProductString(static_cast<char*>(ptr)) ? 1 : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return canDo(static_cast<char*>(ptr));
    case effGetTailSize:
        return getGetTailSize();
    case effGetParameterProperties:
        return getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
        if (!editor) return 0;
        VstKeyCode keyCode{};
        keyCode.character = index;
        keyCode.virt = static_cast<unsigned char>(value & 0xFF);
        // Converting a float outside the int range is undefined; such a host value has no
        // modifier bits.
        const bool inRange = std::fabs(opt) < 2147483648.0f; // false for NaN too
        keyCode.modifier =
            static_cast<unsigned char>((inRange ? static_cast<int32_t>(opt) : 0) & 0xFF);
        const bool handled =
            opcode == effEditKeyDown ? editor->onKeyDown(keyCode) : editor->onKeyUp(keyCode);
        return handled ? 1 : 0;
    }
    case effSetEditKnobMode:
        return editor && editor->setKnobMode(static_cast<int32_t>(value)) ? 1 : 0;
    case effGetMidiProgramName:
        return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory:
        return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged:
        return hasMidiProgramsChanged(index) ? 1 : 0;
    case effGetMidiKeyName:
        return getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)) ? 1 : 0;
    case effBeginSetProgram:
        return beginSetProgram() ? 1 : 0;
    case effEndSetProgram:
        return endSetProgram() ? 1 : 0;
    case effGetSpeakerArrangement:
        return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                     static_cast<VstSpeakerArrangement**>(ptr))
                   ? 1
                   : 0;
    case effShellGetNextPlugin:
        return getNextShellPlugin(static_cast<char*>(ptr));
    case effStartProcess:
        return startProcess();
    case effStopProcess:
        return stopProcess();
    case effSetTotalSampleToProcess:
        return setTotalSampleToProcess(static_cast<int32_t>(value));
    case effSetPanLaw:
        return setPanLaw(static_cast<int32_t>(value), opt) ? 1 : 0;
    case effBeginLoadBank:
        return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram:
        return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision:
        return setProcessPrecision(static_cast<int32_t>(value)) ? 1 : 0;
    case effGetNumMidiInputChannels:
        return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
        return getNumMidiOutputChannels();
    default:
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

void AudioEffectX::resume() {
    char receiveMidi[] = "receiveVstMidiEvent";
    if ((cEffect.flags & effFlagsIsSynth) || canDo(receiveMidi) == 1) wantEvents(1);
}

bool AudioEffectX::beginEdit(int32_t index) {
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(int32_t index) {
    return callHost(audioMasterEndEdit, index) != 0;
}

bool AudioEffectX::ioChanged() {
    return callHost(audioMasterIOChanged) != 0;
}

double AudioEffectX::updateSampleRate() {
    const intptr_t rate = callHost(audioMasterGetSampleRate);
    if (rate > 0) sampleRate = static_cast<float>(rate);
    return sampleRate;
}

int32_t AudioEffectX::updateBlockSize() {
    const intptr_t size = callHost(audioMasterGetBlockSize);
    if (size > 0) blockSize = static_cast<int32_t>(size);
    return blockSize;
}

int32_t AudioEffectX::getInputLatency() {
    return static_cast<int32_t>(callHost(audioMasterGetInputLatency));
}

int32_t AudioEffectX::getOutputLatency() {
    return static_cast<int32_t>(callHost(audioMasterGetOutputLatency));
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                         VstSpeakerArrangement** pluginOutput) {
    if (pluginInput) *pluginInput = nullptr;
    if (pluginOutput) *pluginOutput = nullptr;
    return false;
}

VstTimeInfo* AudioEffectX::getTimeInfo(int32_t filter) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

int32_t AudioEffectX::getCurrentProcessLevel() {
    return static_cast<int32_t>(callHost(audioMasterGetCurrentProcessLevel));
}

int32_t AudioEffectX::getAutomationState() {
    return static_cast<int32_t>(callHost(audioMasterGetAutomationState));
}

bool AudioEffectX::getHostVendorString(char* text) {
    return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text) {
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

int32_t AudioEffectX::getHostVendorVersion() {
    return static_cast<int32_t>(callHost(audioMasterGetVendorVersion));
}

intptr_t AudioEffectX::hostVendorSpecific(int32_t lArg1, intptr_t lArg2, void* ptrArg,
                                          float floatArg) {
    return callHost(audioMasterVendorSpecific, lArg1, lArg2, ptrArg, floatArg);
}

int32_t AudioEffectX::canHostDo(char* text) {
    return callHost(audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0;
}

int32_t AudioEffectX::getHostLanguage() {
    return static_cast<int32_t>(callHost(audioMasterGetLanguage));
}

void* AudioEffectX::getDirectory() {
    return reinterpret_cast<void*>(callHost(audioMasterGetDirectory));
}

int32_t AudioEffectX::getPlugCategory() {
    return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

bool AudioEffectX::updateDisplay() {
    return callHost(audioMasterUpdateDisplay) != 0;
}

bool AudioEffectX::sizeWindow(int32_t width, int32_t height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

bool AudioEffectX::openFileSelector(VstFileSelect* ptr) {
    return ptr && callHost(audioMasterOpenFileSelector, 0, 0, ptr) != 0;
}

bool AudioEffectX::closeFileSelector(VstFileSelect* ptr) {
    return callHost(audioMasterCloseFileSelector, 0, 0, ptr) != 0;
}

void AudioEffectX::wantEvents(int32_t filter) {
    callHost(audioMasterWantMidi, 0, filter);
}
