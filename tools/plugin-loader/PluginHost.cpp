#include "tools/plugin-loader/PluginHost.h"

namespace loader {

namespace {

// What the plug-in may ask of its host while it is created, before the record exists.
float hostSampleRate = 44100.0f;
int32_t hostBlockSize = 512;

} // namespace

intptr_t PluginHost::hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return static_cast<intptr_t>(hostSampleRate);
    case audioMasterGetBlockSize:
        return hostBlockSize;
    default:
        return 0;
    }
}

bool PluginHost::load(const std::string& path, float sampleRate, int32_t blockSize,
                      std::string& error) {
    hostSampleRate = sampleRate;
    hostBlockSize = blockSize;
    if (!plugin.load(path, &PluginHost::hostCallback, error)) return false;
    effect = plugin.effect();
    if (effect->numInputs != 2 || effect->numOutputs != 2 || !effect->processReplacing ||
        !(effect->flags & effFlagsCanReplacing)) {
        error = path + " is not a stereo effect with replacing processing";
        plugin.close();
        effect = nullptr;
        return false;
    }
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
    return true;
}

std::string PluginHost::effectName() const {
    char name[256] = {};
    dispatch(effGetEffectName, 0, 0, name);
    return name;
}

PluginHost::~PluginHost() {
    if (effect) dispatch(effMainsChanged, 0, 0);
    // The plug-in library closes the effect. It stays loaded until the process ends, which
    // follows at once: unloading it would also unload the drawing libraries it pulled in, and
    // pixman cannot release what its initialisation allocated, which the sanitizer build reports
    // as a leak.
}

} // namespace loader
