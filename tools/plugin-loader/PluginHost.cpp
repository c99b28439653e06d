#include "tools/plugin-loader/PluginHost.h"

namespace loader {

namespace {

// The host whose load() is creating an effect on this thread: the plug-in may ask for the rate
// and block size from its entry point, before its record exists and can name its host.
thread_local const PluginHost* creating = nullptr;

} // namespace

intptr_t PluginHost::hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                  void* ptr, float opt) {
    const PluginHost* host =
        effect && effect->resvd1 ? reinterpret_cast<const PluginHost*>(effect->resvd1) : creating;
    switch (opcode) {
    case audioMasterGetSampleRate:
        return host ? static_cast<intptr_t>(host->sampleRate) : 0;
    case audioMasterGetBlockSize:
        return host ? host->blockSize : 0;
    default:
        return silentHostCallback(effect, opcode, index, value, ptr, opt);
    }
}

bool PluginHost::load(const std::string& path, float rate, int32_t frames, std::string& error) {
    sampleRate = rate;
    blockSize = frames;
    creating = this;
    const bool created = plugin.load(path, &PluginHost::hostCallback, error);
    creating = nullptr;
    if (!created) return false;
    effect = plugin.effect();
    effect->resvd1 = reinterpret_cast<intptr_t>(this); // a field the host may use as it likes
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
