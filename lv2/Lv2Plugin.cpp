// The audio binary's entry point: the plug-in's descriptor, its worker and its state.
#include "lv2/Lv2Panner.h"
#include "lv2/Lv2Ports.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <cstring>

namespace {

using vorpane::lv2::Lv2Panner;

Lv2Panner& panner(LV2_Handle instance) {
    return *static_cast<Lv2Panner*>(instance);
}

LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char* bundlePath,
                       const LV2_Feature* const* features) {
    // Nothing may escape into the host: no instance is an answer it understands.
    try {
        return new Lv2Panner(sampleRate, features, bundlePath);
    } catch (...) {
        return nullptr;
    }
}

void connectPort(LV2_Handle instance, uint32_t port, void* data) {
    panner(instance).connectPort(port, data);
}

void activate(LV2_Handle instance) {
    panner(instance).activate();
}

void run(LV2_Handle instance, uint32_t frames) {
    panner(instance).run(frames);
}

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle instance) {
    delete static_cast<Lv2Panner*>(instance);
}

LV2_Worker_Status work(LV2_Handle instance, LV2_Worker_Respond_Function respond,
                       LV2_Worker_Respond_Handle handle, uint32_t size, const void* data) {
    try {
        return panner(instance).hrtfFile().work(respond, handle, size, data);
    } catch (...) {
        return LV2_WORKER_ERR_UNKNOWN;
    }
}

LV2_Worker_Status workResponse(LV2_Handle instance, uint32_t size, const void* body) {
    return panner(instance).hrtfFile().workResponse(size, body);
}

LV2_Worker_Status endRun(LV2_Handle instance) {
    panner(instance).hrtfFile().endRun();
    return LV2_WORKER_SUCCESS;
}

LV2_State_Status save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      uint32_t, const LV2_Feature* const* features) {
    try {
        return panner(instance).hrtfFile().save(store, handle, features);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle handle, uint32_t, const LV2_Feature* const* features) {
    try {
        return panner(instance).hrtfFile().restore(retrieve, handle, features);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

const LV2_Worker_Interface workerInterface = {work, workResponse, endRun};
const LV2_State_Interface stateInterface = {save, restore};

const void* extensionData(const char* uri) {
    if (std::strcmp(uri, LV2_WORKER__interface) == 0) return &workerInterface;
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return &stateInterface;
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
