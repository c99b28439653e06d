// vorpane-host [options]: opens the plug-in's editor in a top-level X11 window, as a host does,
// for trying the panel without a DAW and for pictures of it. See usageText() for the options.
#include "tools/plugin-loader/PluginLibrary.h"
#include "tools/vorpane-host/ExitCodes.h"
#include "tools/vorpane-host/HostOptions.h"
#include "tools/vorpane-host/HostWindow.h"
#include "tools/vorpane-host/PngOutput.h"

#include <poll.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

using namespace host;
using Clock = std::chrono::steady_clock;

constexpr auto kIdleInterval = std::chrono::milliseconds(33); // about 30 Hz
constexpr auto kScreenshotTimeout = std::chrono::seconds(30); // generous, for loaded machines
constexpr int kLargestWindow = 16384;
constexpr float kSampleRate = 44100.0f;
constexpr int32_t kBlockSize = 512;

// What the host callback needs; the plug-in may call it while it is being created.
bool verbose = false;
HostWindow* window = nullptr;
volatile std::sig_atomic_t stopSignal = 0;

void onStopSignal(int signal) {
    stopSignal = signal;
}

void installStopSignals() {
    struct sigaction action {};
    action.sa_handler = &onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: the wait in the loop returns at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                      float opt) {
    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterAutomate:
        if (verbose) std::printf("automate %d %.6g\n", index, static_cast<double>(opt));
        return 0;
    case audioMasterBeginEdit:
        if (verbose) std::printf("begin edit %d\n", index);
        return 1;
    case audioMasterEndEdit:
        if (verbose) std::printf("end edit %d\n", index);
        return 1;
    case audioMasterIdle:
        // Asked from inside the editor (a knob's mouse tracking): the host has nothing of its
        // own to do then, and the editor's idle is not called back into from here.
        return 1;
    case audioMasterCanDo:
        return ptr && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0 ? 1 : 0;
    case audioMasterSizeWindow: {
        if (!window || index <= 0 || value <= 0 || index > kLargestWindow || value > kLargestWindow)
            return 0;
        const int height = static_cast<int>(value);
        if (!window->resize(index, height)) return 0;
        if (verbose) std::printf("size window %d %d\n", index, height);
        return 1;
    }
    case audioMasterGetSampleRate:
        return static_cast<intptr_t>(kSampleRate);
    case audioMasterGetBlockSize:
        return kBlockSize;
    default:
        return 0; // time info, MIDI, file selectors and the rest: this host has none
    }
}

int fail(int code, const std::string& message) {
    std::fprintf(stderr, "vorpane-host: %s\n", message.c_str());
    if (code == kExitUsage) std::fprintf(stderr, "Try 'vorpane-host --help'.\n");
    return code;
}

// Waits for the X connection to have something to read, a signal, or the timeout.
void waitForEvents(int fd, Clock::duration timeout) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(timeout).count();
    pollfd entry{fd, POLLIN, 0};
    poll(&entry, 1, static_cast<int>(std::max<long long>(0, ms)));
}

// The host's run: the window, the editor in it, idle at about 30 Hz until the window is closed,
// a stop signal arrives or the screenshot is written. Answers the exit code.
int runEditor(loader::PluginLibrary& plugin, const HostOptions& options) {
    ERect* rect = nullptr;
    if (!plugin.dispatch(effEditGetRect, 0, 0, &rect) || !rect)
        return fail(kExitNoEditor, "the editor of " + options.plugin + " reports no size");
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    if (width <= 0 || height <= 0 || width > kLargestWindow || height > kLargestWindow)
        return fail(kExitNoEditor, "the editor of " + options.plugin + " reports a size of " +
                                       std::to_string(width) + " x " + std::to_string(height));

    HostWindow hostWindow;
    std::string error;
    if (!hostWindow.connect(error)) return fail(kExitDisplay, error);
    if (!hostWindow.create(width, height, error)) return fail(kExitDisplay, error);
    window = &hostWindow;

    void* id = reinterpret_cast<void*>(static_cast<uintptr_t>(hostWindow.id()));
    if (!plugin.dispatch(effEditOpen, 0, 0, id)) {
        window = nullptr;
        return fail(kExitNoEditor, "the editor of " + options.plugin + " does not open");
    }
    hostWindow.map();

    int code = kExitOk;
    const bool screenshot = !options.screenshot.empty();
    const auto deadline = Clock::now() + kScreenshotTimeout;
    std::optional<Picture> previous; // the capture after the idle before
    auto nextIdle = Clock::now();
    for (;;) {
        hostWindow.processEvents();
        if (hostWindow.closeRequested() || stopSignal) break;
        const auto now = Clock::now();
        if (now >= nextIdle) {
            plugin.dispatch(effEditIdle);
            nextIdle = std::max(nextIdle + kIdleInterval, now);
            if (screenshot) {
                // The panel counts as painted once the editor's window is shown inside ours
                // and two captures an idle apart agree on a picture of more than one colour.
                Picture picture;
                std::optional<Picture> current;
                if (hostWindow.showsChild() && hostWindow.capture(picture, error) &&
                    !picture.uniform())
                    current = std::move(picture);
                if (current && previous && *current == *previous) {
                    if (writePng(*current, options.screenshot, error))
                        std::printf("Wrote %s (%d x %d)\n", options.screenshot.c_str(),
                                    current->width, current->height);
                    else
                        code = fail(kExitScreenshot, error);
                    break;
                }
                previous = std::move(current);
                if (now >= deadline) {
                    code = fail(kExitScreenshot, "the editor painted no panel within " +
                                                     std::to_string(kScreenshotTimeout.count()) +
                                                     " s" + (error.empty() ? "" : ": " + error));
                    break;
                }
                error.clear();
            }
        }
        waitForEvents(hostWindow.connectionFd(), nextIdle - Clock::now());
    }

    // The editor closes first, while its parent window still exists (unless the window was
    // destroyed under it, which the editor learns from the server itself).
    plugin.dispatch(effEditClose);
    window = nullptr;
    return code;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each reported line at once, also into a pipe
    HostOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) return fail(kExitUsage, error);
    if (options.help) {
        std::fputs(usageText(), stdout);
        return kExitOk;
    }
    if (options.plugin.empty()) options.plugin = loader::defaultPluginPath();
    verbose = options.verbose;
    installStopSignals();

    loader::PluginLibrary plugin;
    if (!plugin.load(options.plugin, &hostCallback, error)) return fail(kExitPlugin, error);
    AEffect* effect = plugin.effect();
    int code = kExitOk;
    if (!(effect->flags & effFlagsHasEditor)) {
        code = fail(kExitNoEditor, options.plugin +
                                       " has no editor (it does not announce one), so there is "
                                       "no panel to show");
    } else {
        for (const ParameterSetting& setting : options.settings) {
            if (setting.index >= effect->numParams) {
                code = fail(kExitUsage, "--set " + std::to_string(setting.index) +
                                            ": the plug-in has " +
                                            std::to_string(effect->numParams) + " parameters");
                break;
            }
        }
    }
    if (code == kExitOk) {
        plugin.dispatch(effOpen);
        plugin.dispatch(effSetSampleRate, 0, 0, nullptr, kSampleRate);
        plugin.dispatch(effSetBlockSize, 0, kBlockSize);
        for (const ParameterSetting& setting : options.settings)
            effect->setParameter(effect, setting.index, setting.value);
        code = runEditor(plugin, options);
    }
    // effClose, then the library goes: this program keeps the drawing libraries loaded itself.
    plugin.unload();
    if (stopSignal && code == kExitOk && options.verbose)
        std::printf("closed on %s\n", stopSignal == SIGINT ? "SIGINT" : "SIGTERM");
    return code;
}
