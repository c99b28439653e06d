// Loads a stereo VST 2.4 effect and drives its effect record as a host does: the entry point with
// a host callback, then open, sample rate, block size and switched on. The callback answers the
// rate and block size of the host that made the effect, and nothing else; each host keeps its
// own, so that hosts in one process never see each other's.
#pragma once

#include "plugin/VstInterface.h"
#include "tools/plugin-loader/PluginLibrary.h"

#include <cstdint>
#include <string>

namespace loader {

class PluginHost {
  public:
    PluginHost() = default;
    ~PluginHost();

    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the library, creates the effect through VSTPluginMain and opens it for stereo
    // processing at this rate and block size. On failure answers false with a message.
    bool load(const std::string& path, float sampleRate, int32_t blockSize, std::string& error);

    int32_t latency() const { return effect->initialDelay; }
    void setParameter(int32_t index, float value) { effect->setParameter(effect, index, value); }
    void processReplacing(float** inputs, float** outputs, int32_t frames) {
        effect->processReplacing(effect, inputs, outputs, frames);
    }
    std::string effectName() const;

  private:
    static intptr_t hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                 void* ptr, float opt);
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) const {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    loader::PluginLibrary plugin;
    AEffect* effect = nullptr;
    float sampleRate = 44100.0f;
    int32_t blockSize = 512;
};

} // namespace loader
