// vorpane-info PLUGIN: loads a VST 2.4 plug-in through its entry point, as a host does, and
// prints what it reports about itself.
#include "tools/plugin-loader/PluginLibrary.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void printText(AEffect* effect, const char* what, int32_t opcode, int32_t index = 0) {
    char text[256] = {};
    effect->dispatcher(effect, opcode, index, 0, text, 0.0f);
    std::printf("  %-18s %s\n", what, text);
}

bool isUtf8(const unsigned char* c) {
    while (*c) {
        int extra = *c < 0x80             ? 0
                    : (*c & 0xE0) == 0xC0 ? 1
                    : (*c & 0xF0) == 0xE0 ? 2
                    : (*c & 0xF8) == 0xF0 ? 3
                                          : -1;
        if (extra < 0) return false;
        for (++c; extra > 0; --extra, ++c)
            if ((*c & 0xC0) != 0x80) return false;
    }
    return true;
}

// Linux hosts read plug-in texts as UTF-8, as Vorpane writes them; a text that is not UTF-8 (a
// plug-in written for a single-byte code page) is shown as Latin-1.
void printHostText(const char* text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (isUtf8(bytes)) {
        std::fputs(text, stdout);
        return;
    }
    for (const unsigned char* c = bytes; *c; ++c) {
        if (*c < 0x80) {
            std::putchar(*c);
        } else {
            std::putchar(0xC0 | (*c >> 6));
            std::putchar(0x80 | (*c & 0x3F));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(argc == 2 ? stdout : stderr, "usage: vorpane-info PLUGIN.so\n");
        return argc == 2 ? 0 : 2;
    }
    loader::PluginLibrary plugin;
    std::string error;
    if (!plugin.load(argv[1], &loader::silentHostCallback, error)) {
        std::fprintf(stderr, "vorpane-info: %s\n", error.c_str());
        return 1;
    }
    AEffect* effect = plugin.effect();
    std::printf("Loaded %s through its entry point:\n", argv[1]);
    printText(effect, "effect name", effGetEffectName);
    printText(effect, "vendor", effGetVendorString);
    std::printf("  %-18s %d in, %d out, %d parameters, %d program\n", "channels", effect->numInputs,
                effect->numOutputs, effect->numParams, effect->numPrograms);
    std::printf("  %-18s %d frames\n", "latency", effect->initialDelay);
    for (int32_t i = 0; i < effect->numParams; ++i) {
        char name[64] = {}, display[64] = {}, label[64] = {};
        effect->dispatcher(effect, effGetParamName, i, 0, name, 0.0f);
        effect->dispatcher(effect, effGetParamDisplay, i, 0, display, 0.0f);
        effect->dispatcher(effect, effGetParamLabel, i, 0, label, 0.0f);
        std::printf("  parameter %d        %s = %s (", i, name, display);
        printHostText(label);
        std::printf(")\n");
    }
    plugin.unload();
    return 0;
}
