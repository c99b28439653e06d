// Loads a VST 2.4 plug-in library and creates its effect through VSTPluginMain, as a host does.
#pragma once

#include "plugin/VstInterface.h"

#include <string>

namespace loader {

class PluginLibrary {
  public:
    PluginLibrary() = default;
    // Closes the effect if it is still there. The library stays loaded unless unload() was
    // called: see unload().
    ~PluginLibrary();

    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Loads the library at path and calls its VSTPluginMain (or, for older plug-ins, main) with
    // this host callback. The plug-in may call back before this returns, so the callback must
    // not need the effect record yet.
    // On failure answers false with a message naming path and the reason.
    bool load(const std::string& path, audioMasterCallback callback, std::string& error);

    AEffect* effect() const { return record; }
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) const {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }

    // effClose: the plug-in frees the record, which is gone afterwards.
    void close();

    // Closes the effect if needed and unloads the library. Only for a process that keeps the
    // libraries the plug-in pulled in (cairo and the like) loaded itself: unloading the last user
    // of pixman loses what its initialisation allocated, which the sanitizer reports as a leak.
    // In sanitizer builds the leak check of the process runs here, before the library goes.
    void unload();

  private:
    void* library = nullptr;
    AEffect* record = nullptr;
};

// The callback of a host that has nothing to tell: it answers the VST version it speaks and 0,
// "not supported", to everything else.
intptr_t silentHostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                            void* ptr, float opt);

// The Vorpane.so a tool belongs to: BUILD/Vorpane.so beside BUILD/tools/ in a build, else
// PREFIX/lib/vst/Vorpane.so beside PREFIX/bin/ once installed.
std::string defaultPluginPath();

} // namespace loader
