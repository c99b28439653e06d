// A VST 2.4 plug-in library loaded and driven as a host drives it: the entry point (VSTPluginMain,
// or main for older plug-ins) with a host callback, then open, sample rate, block size and
// switched on. Used to compare against plug-ins that Debian ships.
#pragma once

#include "plugin/VstInterface.h"
#include "tools/plugin-loader/PluginLibrary.h"

#include <cstdint>
#include <string>

namespace bench {

class LoadedPlugin {
  public:
    LoadedPlugin() = default;
    ~LoadedPlugin();

    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    // Loads a stereo effect with replacing processing; on failure answers false with a reason.
    bool load(const std::string& path, float sampleRate, int32_t blockSize, std::string& error);

    void processReplacing(float** inputs, float** outputs, int32_t frames) {
        effect->processReplacing(effect, inputs, outputs, frames);
    }
    void setParameter(int32_t index, float value) { effect->setParameter(effect, index, value); }
    AEffect* record() const { return effect; }

  private:
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) const {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    loader::PluginLibrary library; // closes the effect; the library stays loaded
    AEffect* effect = nullptr;
};

// The first of the usual VST folders that holds this library file, or an empty text.
std::string findVstLibrary(const std::string& fileName);

} // namespace bench
