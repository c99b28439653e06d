// What the stand-in effects of the tools' tests share: a stereo effect record with two
// parameters, both 0.5 at the start, in an object that the record points to.
#pragma once

#include "plugin/VstInterface.h"

#include <cstring>

namespace fake {

struct FakeEffect {
    AEffect effect;
    float parameters[2] = {0.5f, 0.5f};
};

// The object of a record made by initRecord, as the type it was made with.
template <class Fake> Fake* objectOf(AEffect* effect) {
    return static_cast<Fake*>(static_cast<FakeEffect*>(effect->object));
}

inline void setParameter(AEffect* effect, int32_t index, float value) {
    if (index == 0 || index == 1) objectOf<FakeEffect>(effect)->parameters[index] = value;
}

inline float getParameter(AEffect* effect, int32_t index) {
    return (index == 0 || index == 1) ? objectOf<FakeEffect>(effect)->parameters[index] : 0.0f;
}

// Fills the record of fake: two inputs, two outputs, the two parameters, one program.
inline AEffect* initRecord(FakeEffect* fake, AEffectDispatcherProc dispatcher, int32_t flags) {
    AEffect& e = fake->effect;
    std::memset(&e, 0, sizeof(AEffect));
    e.magic = kEffectMagic;
    e.dispatcher = dispatcher;
    e.setParameter = &setParameter;
    e.getParameter = &getParameter;
    e.numPrograms = 1;
    e.numParams = 2;
    e.numInputs = 2;
    e.numOutputs = 2;
    e.flags = flags;
    e.object = fake;
    return &e;
}

} // namespace fake
