#include "tools/plugin-loader/PluginLibrary.h"

#include <dlfcn.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <filesystem>
#include <system_error>

namespace loader {

bool PluginLibrary::load(const std::string& path, audioMasterCallback callback,
                         std::string& error) {
    library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        error = "cannot load plug-in " + path + ": " + (reason ? reason : "unknown reason");
        return false;
    }
    using Entry = AEffect* (*)(audioMasterCallback);
    // Older plug-ins export their entry point only as main.
    void* symbol = dlsym(library, "VSTPluginMain");
    if (!symbol) symbol = dlsym(library, "main");
    if (!symbol) {
        error = path + " has no VST entry point (VSTPluginMain or main)";
        return false;
    }
    auto entry = reinterpret_cast<Entry>(symbol);
    AEffect* created = entry(callback);
    if (!created || created->magic != kEffectMagic) {
        error = "the entry point of " + path + " created no effect";
        return false;
    }
    record = created;
    return true;
}

void PluginLibrary::close() {
    if (!record) return;
    dispatch(effClose);
    record = nullptr;
}

void PluginLibrary::unload() {
    close();
#if defined(__SANITIZE_ADDRESS__)
    // Sanitizer builds look for leaks here, once the effect is gone but before its library is:
    // what the library keeps for its whole life is still reachable through its statics now, and
    // would only be reported because the unload drops them. The check at exit is then skipped.
    if (library) __lsan_do_leak_check();
#endif
    if (library) dlclose(library);
    library = nullptr;
}

PluginLibrary::~PluginLibrary() {
    close();
}

intptr_t silentHostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

std::string defaultPluginPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "Vorpane.so";
    // In a build the tools live in BUILD/tools/ beside BUILD/Vorpane.so; installed they live in
    // PREFIX/bin/ and the plug-in in PREFIX/lib/vst/.
    const std::filesystem::path up = self.parent_path().parent_path();
    const std::filesystem::path built = up / "Vorpane.so";
    if (std::filesystem::exists(built, error)) return built.string();
    return (up / "lib" / "vst" / "Vorpane.so").string();
}

} // namespace loader
