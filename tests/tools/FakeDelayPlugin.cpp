// A minimal effect: output = input delayed by kLatency frames, each channel scaled at its input
// by twice its parameter (parameter 0 left, 1 right; both 0.5 at the start, so gain 1).
#include "tests/tools/FakeEffect.h"

#include <cstring>
#include <deque>

namespace {

constexpr int32_t kLatency = 300;

struct FakeDelay : fake::FakeEffect {
    std::deque<float> queue[2];
};

FakeDelay* fakeOf(AEffect* effect) {
    return fake::objectOf<FakeDelay>(effect);
}

intptr_t dispatcher(AEffect* effect, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    if (opcode == effClose) {
        delete fakeOf(effect);
        return 1;
    }
    if (opcode == effGetEffectName) {
        std::strcpy(static_cast<char*>(ptr), "FakeDelay");
        return 1;
    }
    return 0;
}

void processReplacing(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    FakeDelay* fake = fakeOf(effect);
    for (int channel = 0; channel < 2; ++channel) {
        std::deque<float>& queue = fake->queue[channel];
        for (int32_t i = 0; i < frames; ++i) {
            queue.push_back(inputs[channel][i] * 2.0f * fake->parameters[channel]);
            outputs[channel][i] = queue.front();
            queue.pop_front();
        }
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
    auto* fake = new FakeDelay();
    AEffect& e = *fake::initRecord(fake, &dispatcher, effFlagsCanReplacing);
    e.initialDelay = kLatency;
    e.processReplacing = &processReplacing;
    for (auto& queue : fake->queue)
        queue.assign(kLatency, 0.0f);
    return &e;
}
