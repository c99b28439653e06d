// The audio binary's entry point: the plug-in's descriptor.
#include "lv2/Lv2Panner.h"
#include "lv2/Lv2Ports.h"

#include <lv2/core/lv2.h>

namespace {

using vorpane::lv2::Lv2Panner;

LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const*) {
    // Nothing may escape into the host: no instance is an answer it understands.
    try {
        return new Lv2Panner(sampleRate);
    } catch (...) {
        return nullptr;
    }
}

void connectPort(LV2_Handle instance, uint32_t port, void* data) {
    static_cast<Lv2Panner*>(instance)->connectPort(port, data);
}

void activate(LV2_Handle instance) {
    static_cast<Lv2Panner*>(instance)->activate();
}

void run(LV2_Handle instance, uint32_t frames) {
    static_cast<Lv2Panner*>(instance)->run(frames);
}

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle instance) {
    delete static_cast<Lv2Panner*>(instance);
}

const void* extensionData(const char*) {
    return nullptr;
}

const LV2_Descriptor descriptor = {
    vorpane::lv2::kPluginUri,
    instantiate,
    connectPort,
    activate,
    run,
    deactivate,
    cleanup,
    extensionData,
};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
