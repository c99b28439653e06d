#include "bench/engine/LoadedPlugin.h"

#include <unistd.h>

#include <cstdlib>

namespace bench {

namespace {

float hostSampleRate = 48000.0f;
int32_t hostBlockSize = 512;

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
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

} // namespace

bool LoadedPlugin::load(const std::string& path, float sampleRate, int32_t blockSize,
                        std::string& error) {
    hostSampleRate = sampleRate;
    hostBlockSize = blockSize;
    if (!library.load(path, &hostCallback, error)) return false;
    effect = library.effect();
    if (effect->numInputs != 2 || effect->numOutputs != 2 || !effect->processReplacing ||
        !(effect->flags & effFlagsCanReplacing)) {
        library.close();
        effect = nullptr;
        error = path + " is not a stereo effect with replacing processing";
        return false;
    }
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
    return true;
}

LoadedPlugin::~LoadedPlugin() {
    if (effect) dispatch(effMainsChanged, 0, 0);
    // The library stays loaded: plug-ins commonly leave state behind that unloading would break.
}

std::string findVstLibrary(const std::string& fileName) {
    const char* home = std::getenv("HOME");
    const std::string folders[] = {home ? std::string(home) + "/.vst" : std::string(),
                                   "/usr/lib/vst", "/usr/lib/lxvst", "/usr/local/lib/vst",
                                   "/usr/local/lib/lxvst"};
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const std::string path = folder + "/" + fileName;
        if (access(path.c_str(), R_OK) == 0) return path;
    }
    return std::string();
}

} // namespace bench
