// The plug-in: identity, the two direction parameters, its single program, and the engine.
#pragma once

#include "engine/BlockConvolver.h"
#include "plugin/AudioEffectX.h"

#include <atomic>
#include <memory>

struct VrpProgram {
    float azimuth = 0.5f;
    float elevation = 0.5f;
    char name[24] = "Standard Setting";
};

static_assert(sizeof(VrpProgram) == 32);
// setParameter writes the program's values through std::atomic_ref.
static_assert(alignof(float) >= std::atomic_ref<float>::required_alignment);

class AVorpane : public AudioEffectX {
  public:
    static constexpr int32_t kNumPrograms = 1;
    static constexpr int32_t kNumParams = 2;
    static constexpr int32_t kUniqueId = fourCharCode('A', 'V', 'p', 'n');
    static constexpr int32_t kVendorVersion = 1000;

    // Makes the editor the plug-in starts with, which the plug-in owns from then on (null for
    // none). A plug-in makes its panel, VrpEditor, unless it is handed another maker.
    using EditorMaker = AEffEditor* (*)(AVorpane& plugin);
    static AEffEditor* makePanel(AVorpane& plugin);

    explicit AVorpane(audioMasterCallback audioMaster, EditorMaker makeEditor = makePanel);
    ~AVorpane() override;

    void suspend() override;
    // Also makes the engine's room for blocks of the size announced last.
    void resume() override;
    // Makes (or finds) the ear table for this rate, on the calling thread; the engine takes it up
    // at the next resume. A rate outside 8 to 384 kHz is taken as its nearest end; zero, a
    // negative rate and NaN leave the engine at 44.1 kHz.
    void setSampleRate(float newSampleRate) override;
    // Records the size of the host's blocks. While suspended, it also makes the engine's room for
    // them at once, so that processing them never allocates; while resumed, the audio thread may
    // be rendering out of that room, so it grows at the next resume.
    void setBlockSize(int32_t newBlockSize) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(int32_t index, char* label) override;
    void getParameterDisplay(int32_t index, char* text) override;
    void getParameterName(int32_t index, char* text) override;
    bool getProgramNameIndexed(int32_t category, int32_t index, char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    int32_t getVendorVersion() override;
    int32_t getPlugCategory() override;

    virtual void applyProgram(int32_t index);

    // Raised by every parameter change; the engine clears it before it reads the values.
    bool filtersPending() const { return filtersDirty.load(); }

  private:
    std::unique_ptr<VrpProgram[]> programs;
    std::atomic<float> azimuth{0.0f};
    std::atomic<float> elevation{0.0f};
    std::atomic<bool> filtersDirty{false};
    std::atomic<bool> resumed{false};
    vorpane::BlockConvolver engine;

    static_assert(std::atomic<float>::is_always_lock_free);
    static_assert(std::atomic<bool>::is_always_lock_free);
};

// Creates the plug-in object for the entry point; null when it cannot be created.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
