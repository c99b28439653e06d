// The panel's idle and paint work in a real X window (an Xvfb server started here): the host's
// idle call when nothing changed (the event pump included), the idle call after the host moved
// one knob, and a full paint of the window from the back buffer. Times are those of the calling
// thread; the server draws the pixels afterwards in its own process.
#include "editor/VrpEditor.h"
#include "plugin/AVorpane.h"
#include "tests/support/XvfbServer.h"
#include "tools/plugin-loader/PluginLibrary.h"
#include "vstgui/CFrame.h"
#include "vstgui/platform/Platform.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// An X server, a host window on it and the plug-in's panel open inside, painted once.
struct OpenPanel {
    testsupport::XvfbServer server;
    Display* host = nullptr;
    Window parent = 0;
    std::unique_ptr<AVorpane> plugin;
    VrpEditor* editor = nullptr;

    OpenPanel() {
        if (!server.running()) {
            std::fprintf(stderr, "bench_editor: %s\n", server.failure().c_str());
            std::exit(1);
        }
        host = XOpenDisplay(server.displayName().c_str());
        parent = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 454, 302, 0, 0, 0);
        XMapWindow(host, parent);
        XSync(host, False);
        plugin = std::make_unique<AVorpane>(&loader::silentHostCallback);
        editor = static_cast<VrpEditor*>(plugin->getEditor());
        if (!editor->open(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)))) {
            std::fprintf(stderr, "bench_editor: the panel did not open\n");
            std::exit(1);
        }
        XSync(host, False);
        // The first Expose arrives once the server has mapped the window; idle until painted.
        for (int i = 0; i < 1000; ++i) {
            editor->idle();
            XSync(host, False);
        }
    }
    ~OpenPanel() {
        editor->close();
        plugin.reset();
        XCloseDisplay(host);
    }
};

OpenPanel& panel() {
    static OpenPanel open;
    return open;
}

void IdleNothingChanged(benchmark::State& state) {
    VrpEditor* editor = panel().editor;
    for (auto _ : state)
        editor->idle();
}
BENCHMARK(IdleNothingChanged);

void IdleOneKnobChanged(benchmark::State& state) {
    OpenPanel& open = panel();
    float value = 0.0f;
    for (auto _ : state) {
        // A step of 0.05 shows another strip frame every time.
        value = value >= 0.95f ? 0.0f : value + 0.05f;
        open.plugin->setParameter(0, value);
        open.editor->idle();
    }
    XSync(open.host, False);
}
BENCHMARK(IdleOneKnobChanged);

void FullPaint(benchmark::State& state) {
    OpenPanel& open = panel();
    VSTGUI::CFrame* frame = open.editor->getFrame();
    VSTGUI::platform::Platform& system = VSTGUI::platform::platform();
    const VSTGUI::CRect all(0, 0, 454, 302);
    for (auto _ : state) {
        cairo_surface_t* window = system.acquireWindowSurface(frame->getPlatformWindow());
        frame->handlePaint(window, all);
        system.releaseWindowSurface(frame->getPlatformWindow(), window);
    }
    XSync(open.host, False);
}
BENCHMARK(FullPaint);

} // namespace
