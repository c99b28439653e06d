#include "tools/plugin-loader/PluginLibrary.h"

#include <dlfcn.h>

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
    auto entry = reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain"));
    if (!entry) {
        error = path + " has no VSTPluginMain entry point";
        return false;
    }
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
    if (library) dlclose(library);
    library = nullptr;
}

PluginLibrary::~PluginLibrary() {
    close();
}

std::string defaultPluginPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "Vorpane.so";
    return (self.parent_path().parent_path() / "Vorpane.so").string();
}

} // namespace loader
