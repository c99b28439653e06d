// The library's entry point, exported as VSTPluginMain and, for older hosts, as main.
#include "plugin/AVorpane.h"

#define VORPANE_EXPORT __attribute__((visibility("default")))

extern "C" VORPANE_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    try {
        if (!audioMaster) return nullptr;
        if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

// The same function under the name older hosts look up. An assembler alias, since a C++
// function may not be called main unless it is the program's own.
asm(".globl main\n\t.type main, @function\n\t.set main, VSTPluginMain");
