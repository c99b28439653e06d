// Extended glue: the operations added by the 2.x interface, with neutral defaults, and the
// dispatcher for the extended opcodes.
#pragma once

#include "plugin/AudioEffect.h"

class AudioEffectX : public AudioEffect {
  public:
    AudioEffectX(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams);
    ~AudioEffectX() override;

    intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                        float opt) override;
    void resume() override;

    virtual bool canParameterBeAutomated(int32_t) { return true; }
    virtual bool string2parameter(int32_t, char*) { return false; }
    virtual bool getParameterProperties(int32_t, VstParameterProperties*) { return false; }
    virtual bool beginEdit(int32_t index);
    virtual bool endEdit(int32_t index);
    virtual bool getProgramNameIndexed(int32_t, int32_t, char*) { return false; }
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    virtual int32_t beginLoadBank(VstPatchChunkInfo*) { return 0; }
    virtual int32_t beginLoadProgram(VstPatchChunkInfo*) { return 0; }

    virtual bool ioChanged();
    virtual double updateSampleRate();
    virtual int32_t updateBlockSize();
    virtual int32_t getInputLatency();
    virtual int32_t getOutputLatency();

    virtual bool getInputProperties(int32_t, VstPinProperties*) { return false; }
    virtual bool getOutputProperties(int32_t, VstPinProperties*) { return false; }
    virtual bool setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) {
        return false;
    }
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                       VstSpeakerArrangement** pluginOutput);
    virtual bool setBypass(bool) { return false; }
    virtual bool setPanLaw(int32_t, float) { return false; }
    virtual bool setProcessPrecision(int32_t) { return false; }
    virtual int32_t getNumMidiInputChannels() { return 0; }
    virtual int32_t getNumMidiOutputChannels() { return 0; }

    virtual VstTimeInfo* getTimeInfo(int32_t filter);
    virtual int32_t getCurrentProcessLevel();
    virtual int32_t getAutomationState();

    virtual int32_t processEvents(VstEvents*) { return 0; }
    virtual int32_t startProcess() { return 0; }
    virtual int32_t stopProcess() { return 0; }
    virtual bool processVariableIo(VstVariableIo*) { return false; }
    virtual int32_t setTotalSampleToProcess(int32_t value) { return value; }

    virtual bool getHostVendorString(char* text);
    virtual bool getHostProductString(char* text);
    virtual int32_t getHostVendorVersion();
    virtual intptr_t hostVendorSpecific(int32_t lArg1, intptr_t lArg2, void* ptrArg,
                                        float floatArg);
    virtual int32_t canHostDo(char* text);
    virtual int32_t getHostLanguage();

    virtual void isSynth(bool state = true) { setFlag(effFlagsIsSynth, state); }
    virtual void noTail(bool state = true) { setFlag(effFlagsNoSoundInStop, state); }
    virtual int32_t getGetTailSize() { return 0; }
    virtual void* getDirectory();

    virtual bool getEffectName(char*) { return false; }
    virtual bool getVendorString(char*) { return false; }
    virtual bool getProductString(char*) { return false; }
    virtual int32_t getVendorVersion() { return 0; }
    virtual intptr_t vendorSpecific(int32_t, intptr_t, void*, float) { return 0; }
    virtual int32_t canDo(char*) { return 0; }
    virtual int32_t getVstVersion() { return kVstVersion; }
    virtual int32_t getPlugCategory();

    virtual int32_t getMidiProgramName(int32_t, MidiProgramName*) { return 0; }
    virtual int32_t getCurrentMidiProgram(int32_t, MidiProgramName*) { return -1; }
    virtual int32_t getMidiProgramCategory(int32_t, MidiProgramCategory*) { return 0; }
    virtual bool hasMidiProgramsChanged(int32_t) { return false; }
    virtual bool getMidiKeyName(int32_t, MidiKeyName*) { return false; }

    virtual bool updateDisplay();
    virtual bool sizeWindow(int32_t width, int32_t height);
    virtual bool openFileSelector(VstFileSelect* ptr);
    virtual bool closeFileSelector(VstFileSelect* ptr);
    virtual int32_t getNextShellPlugin(char*) { return 0; }

    virtual bool offlineNotify(VstAudioFile*, int32_t, bool) { return false; }
    virtual bool offlinePrepare(VstOfflineTask*, int32_t) { return false; }
    virtual bool offlineRun(VstOfflineTask*, int32_t) { return false; }

    // Deprecated operations of earlier interface versions that this glue still carries.
    virtual void wantEvents(int32_t filter = 1);
};
