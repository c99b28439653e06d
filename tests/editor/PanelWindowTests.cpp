// The panel in a host's X11 window, driven as a host drives it: through the loaded Vorpane.so,
// with a top-level window of the test as the parent, real pointer input through XTest and the
// pixels read back from the X server.
#include "tests/support/Command.h"
#include "tests/support/TestHost.h"
#include "tests/support/Watchdog.h"
#include "tests/support/X11HostTest.h"
#include "vstgui/platform/PngDecoder.h"
#include "vstgui/platform/Resources.h"

#include <X11/Xlib.h>

#include <cairo.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using testhost::HostCall;
using testhost::TestHost;
using namespace std::chrono_literals;

// Generous: a call that never returns (a drag looping inside it) ends the run instead of hanging.
constexpr auto kWatchdogPatience = 300s;

constexpr int kAzimuthLeft = 20;
constexpr int kElevationLeft = 260;
constexpr int kKnobTop = 135;
constexpr int kStripImages = 50;
// The elevation readout covers the top row of its knob; the comparison starts below it.
constexpr size_t kDisplayOverlap = 2 * 150;

cairo_surface_t* decodeImage(int id) {
    return VSTGUI::platform::decodePng(VSTGUI::platform::findResource("PNG", id)).surface;
}

// What a knob at value must look like: its strip frame composited over the panel background.
struct KnobPicture {
    int left = 0;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

KnobPicture expectedKnob(int stripId, int left, float value) {
    cairo_surface_t* background = decodeImage(1);
    cairo_surface_t* strip = decodeImage(stripId);
    KnobPicture picture;
    picture.left = left;
    picture.width = cairo_image_surface_get_width(strip);
    picture.height = cairo_image_surface_get_height(strip) / kStripImages;
    const int span = picture.height * (kStripImages - 1);
    const int frameTop =
        static_cast<int>(value * static_cast<float>(span)) / picture.height * picture.height;
    cairo_surface_t* target =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_surface(cr, background, -left, -kKnobTop);
    cairo_paint(cr);
    cairo_set_source_surface(cr, strip, 0, -frameTop);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    const unsigned char* data = cairo_image_surface_get_data(target);
    const int stride = cairo_image_surface_get_stride(target);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.pixels.push_back(reinterpret_cast<const uint32_t*>(data + y * stride)[x] &
                                     0xFFFFFFu);
    cairo_surface_destroy(target);
    cairo_surface_destroy(strip);
    cairo_surface_destroy(background);
    return picture;
}

bool closeEnough(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > 2 || d < -2) return false;
    }
    return true;
}

// One plug-in instance with its host.
struct Instance {
    TestHost host;
    AEffect* effect = nullptr;
    Instance() {
        effect = host.load();
        host.calls.clear();
    }
    intptr_t open(Window parent) {
        return host.dispatch(effEditOpen, 0, 0, testsupport::X11HostTest::handleFor(parent));
    }
    void idle() { host.dispatch(effEditIdle); }
    void close() { host.dispatch(effEditClose); }
    std::vector<HostCall> callsOf(int32_t opcode) const {
        std::vector<HostCall> found;
        for (const HostCall& call : host.calls)
            if (call.opcode == opcode) found.push_back(call);
        return found;
    }
};

class PanelWindow : public testsupport::X11HostTest {
  protected:
    Window editorWindow(Window of) {
        const std::vector<Window> list = children(of);
        return list.size() == 1 ? list.front() : 0;
    }
    bool knobShows(Window editor, int stripId, int left, float value) {
        const KnobPicture expected = expectedKnob(stripId, left, value);
        const std::vector<uint32_t> shown =
            grab(editor, left, kKnobTop, expected.width, expected.height);
        if (shown.size() != expected.pixels.size()) return false;
        for (size_t i = 0; i < shown.size(); ++i)
            if (i >= kDisplayOverlap && !closeEnough(shown[i], expected.pixels[i])) return false;
        return true;
    }
    bool panelShows(Instance& plugin, Window editor, float azimuth, float elevation) {
        (void)plugin;
        return knobShows(editor, 10, kAzimuthLeft, azimuth) &&
               knobShows(editor, 100, kElevationLeft, elevation);
    }
    // Idles the editor until its window shows both knobs at the given values.
    bool waitForPanel(Instance& plugin, Window editor, float azimuth, float elevation) {
        return waitUntil([&] { return panelShows(plugin, editor, azimuth, elevation); },
                         [&] { plugin.idle(); });
    }
};

TEST_F(PanelWindow, OpensInTheHostsWindowAndShowsTheKnobsOfTheParameterValues) {
    Instance plugin;
    EXPECT_TRUE(plugin.effect->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    ASSERT_EQ(plugin.host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 454);
    EXPECT_EQ(rect->bottom - rect->top, 302);

    // Set while closed: shown at the next open.
    plugin.host.setParameter(0, 0.25f);
    plugin.host.setParameter(1, 0.75f);
    ASSERT_EQ(plugin.open(parent), 1);
    const Window editor = editorWindow(parent);
    ASSERT_NE(editor, 0u);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(host, editor, &attributes));
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(attributes.x, 0);
    EXPECT_EQ(attributes.y, 0);
    EXPECT_EQ(attributes.width, 454);
    EXPECT_EQ(attributes.height, 302);
    EXPECT_TRUE(waitForPanel(plugin, editor, 0.25f, 0.75f));
    EXPECT_FALSE(panelShows(plugin, editor, 0.5f, 0.75f)); // the comparison tells frames apart

    // Set by the host while open: shown after the next idle.
    plugin.host.setParameter(0, 0.9f);
    EXPECT_TRUE(waitForPanel(plugin, editor, 0.9f, 0.75f));
    plugin.close();
    EXPECT_TRUE(waitUntil([&] { return children(parent).empty(); }, nullptr));
}

TEST_F(PanelWindow, DraggingTheAzimuthKnobAutomatesItWithinOneGesture) {
    Instance plugin;
    plugin.host.dispatch(effSetEditKnobMode, 0, 2); // linear: right and up increase the value
    plugin.host.setParameter(0, 0.3f);
    ASSERT_EQ(plugin.open(parent), 1);
    const Window editor = editorWindow(parent);
    ASSERT_TRUE(waitForPanel(plugin, editor, 0.3f, 0.5f));

    // All on the host's one thread: every idle call returns while the button stays down, and
    // the knob follows the pointer from one call to the next.
    testsupport::Watchdog watchdog(kWatchdogPatience, "the editor's idle did not return");
    movePointer(editor, 95, 210);
    pressButton(1);
    ASSERT_TRUE(waitUntil([&] { return !plugin.callsOf(audioMasterBeginEdit).empty(); },
                          [&] { plugin.idle(); }));
    float reached = plugin.host.getParameter(0);
    for (int step = 1; step <= 5; ++step) {
        movePointer(editor, 95 + 8 * step, 210);
        EXPECT_TRUE(waitUntil([&] { return plugin.host.getParameter(0) > reached; },
                              [&] { plugin.idle(); }))
            << step;
        reached = plugin.host.getParameter(0);
    }
    EXPECT_NEAR(reached, 0.5f, 1e-5f); // 40 pixels of 200
    EXPECT_TRUE(waitForPanel(plugin, editor, reached, 0.5f));
    EXPECT_TRUE(plugin.callsOf(audioMasterEndEdit).empty()); // still held
    releaseButton(1);
    EXPECT_TRUE(waitUntil([&] { return !plugin.callsOf(audioMasterEndEdit).empty(); },
                          [&] { plugin.idle(); }));

    EXPECT_EQ(plugin.callsOf(audioMasterBeginEdit).size(), 1u);
    EXPECT_EQ(plugin.callsOf(audioMasterEndEdit).size(), 1u);
    EXPECT_TRUE(plugin.callsOf(audioMasterIdle).empty());
    for (const HostCall& edit : plugin.callsOf(audioMasterBeginEdit))
        EXPECT_EQ(edit.index, 0);
    const std::vector<HostCall> automation = plugin.callsOf(audioMasterAutomate);
    ASSERT_GE(automation.size(), 2u);
    for (size_t i = 0; i < automation.size(); ++i) {
        EXPECT_EQ(automation[i].index, 0);
        if (i > 0) {
            EXPECT_GE(automation[i].opt, automation[i - 1].opt);
        }
    }
    EXPECT_EQ(automation.front().opt, 0.3f);
    EXPECT_EQ(plugin.host.getParameter(0), automation.back().opt);
    plugin.close();
}

// Where MIT-SHM cannot attach (an X client that does not share the server's IPC namespace, as
// over ssh -X or in a sandbox), the panel still paints and follows a drag: the tests of both run
// again in a process of their own under unshare --ipc, against this test's X server.
TEST_F(PanelWindow, PaintsAndFollowsADragWhereSharedMemoryCannotAttach) {
    if (serverOutside()) GTEST_SKIP() << "already the run under unshare";
    int status = -1;
    testsupport::runCommand("unshare --ipc true 2>&1", status);
    ASSERT_EQ(status, 0) << "unshare --ipc is not permitted here: run as root or allow user "
                            "namespaces";
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string output = testsupport::runCommand(
        std::string(kOutsideServerVariable) + "=" + displayName() + " unshare --ipc '" + self +
            "' --gtest_filter='PanelWindow.OpensInTheHostsWindow*:PanelWindow.DraggingTheAzimuth*'"
            " 2>&1",
        status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 2 tests"), std::string::npos) << output;
}

TEST_F(PanelWindow, TheWheelStepsTheKnobUnderThePointer) {
    Instance plugin;
    ASSERT_EQ(plugin.open(parent), 1);
    const Window editor = editorWindow(parent);
    ASSERT_TRUE(waitForPanel(plugin, editor, 0.5f, 0.5f));
    movePointer(editor, 335, 210);
    pressButton(4);
    releaseButton(4);
    EXPECT_TRUE(
        waitUntil([&] { return plugin.host.getParameter(1) > 0.55f; }, [&] { plugin.idle(); }));
    EXPECT_FLOAT_EQ(plugin.host.getParameter(1), 0.6f);
    pressButton(5);
    releaseButton(5);
    pressButton(5);
    releaseButton(5);
    EXPECT_TRUE(
        waitUntil([&] { return plugin.host.getParameter(1) < 0.45f; }, [&] { plugin.idle(); }));
    EXPECT_FLOAT_EQ(plugin.host.getParameter(1), 0.4f);
    EXPECT_EQ(plugin.callsOf(audioMasterAutomate).size(), 3u);
    EXPECT_EQ(plugin.host.getParameter(0), 0.5f);
    plugin.close();
}

TEST_F(PanelWindow, ADragEndsItsGestureOnceWhenTheHostClosesTheEditorMeanwhile) {
    Instance plugin;
    ASSERT_EQ(plugin.open(parent), 1);
    const Window editor = editorWindow(parent);
    ASSERT_TRUE(waitForPanel(plugin, editor, 0.5f, 0.5f));
    testsupport::Watchdog watchdog(kWatchdogPatience, "the editor's idle did not return");
    movePointer(editor, 95, 210);
    pressButton(1);
    ASSERT_TRUE(waitUntil([&] { return !plugin.callsOf(audioMasterBeginEdit).empty(); },
                          [&] { plugin.idle(); }));
    plugin.idle();
    plugin.close(); // the button still down
    releaseButton(1);
    EXPECT_EQ(plugin.callsOf(audioMasterBeginEdit).size(), 1u);
    EXPECT_EQ(plugin.callsOf(audioMasterEndEdit).size(), 1u);
    EXPECT_TRUE(waitUntil([&] { return children(parent).empty(); }, nullptr));
    // A later open works as the first one did.
    ASSERT_EQ(plugin.open(parent), 1);
    EXPECT_TRUE(waitForPanel(plugin, editorWindow(parent), plugin.host.getParameter(0), 0.5f));
    plugin.close();
}

TEST_F(PanelWindow, OpeningAndClosingFiftyTimesLeavesNothingBehind) {
    Instance plugin;
    for (int round = 0; round < 50; ++round) {
        ASSERT_EQ(plugin.open(parent), 1) << round;
        plugin.idle();
        ASSERT_EQ(children(parent).size(), 1u) << round;
        plugin.close();
        ASSERT_TRUE(waitUntil([&] { return children(parent).empty(); }, nullptr)) << round;
    }
    // Open while open replaces the panel instead of adding a second one.
    ASSERT_EQ(plugin.open(parent), 1);
    ASSERT_EQ(plugin.open(parent), 1);
    EXPECT_TRUE(waitUntil([&] { return children(parent).size() == 1; }, nullptr));
    EXPECT_TRUE(waitForPanel(plugin, editorWindow(parent), 0.5f, 0.5f));
    plugin.close();
}

TEST_F(PanelWindow, TheHostMayDestroyItsWindowBeforeClosingTheEditor) {
    Instance plugin;
    ASSERT_EQ(plugin.open(parent), 1);
    ASSERT_TRUE(waitForPanel(plugin, editorWindow(parent), 0.5f, 0.5f));
    XDestroyWindow(host, parent);
    XSync(host, False);
    plugin.idle();
    plugin.host.setParameter(0, 0.1f);
    plugin.idle();
    plugin.close();
    plugin.close();

    const Window next = makeHostWindow();
    ASSERT_EQ(plugin.open(next), 1);
    EXPECT_TRUE(waitForPanel(plugin, editorWindow(next), 0.1f, 0.5f));
    plugin.close();
}

TEST_F(PanelWindow, TwoEditorsInOneProcessWorkSideBySide) {
    Instance first, second;
    const Window otherParent = makeHostWindow(500, 400);
    ASSERT_EQ(first.open(parent), 1);
    ASSERT_EQ(second.open(otherParent), 1);
    second.host.setParameter(1, 0.0f);
    EXPECT_TRUE(waitForPanel(first, editorWindow(parent), 0.5f, 0.5f));
    EXPECT_TRUE(waitForPanel(second, editorWindow(otherParent), 0.5f, 0.0f));

    first.close();
    second.host.setParameter(0, 1.0f);
    EXPECT_TRUE(waitForPanel(second, editorWindow(otherParent), 1.0f, 0.0f));
    EXPECT_TRUE(children(parent).empty());
    second.close();
}

TEST_F(PanelWindow, AnEditorWhoseWindowTheHostDestroyedDoesNotHinderTheNextOpen) {
    // The requests of the closing editor to its dead window fail; none of those failures may be
    // taken for the new window's, however the host interleaves the calls.
    Instance first, second;
    ASSERT_EQ(first.open(parent), 1);
    Window other = makeHostWindow(500, 0);
    ASSERT_EQ(second.open(other), 1);
    for (int round = 0; round < 8; ++round) {
        XDestroyWindow(host, other);
        XSync(host, False);
        second.close();
        other = makeHostWindow(500, 0);
        ASSERT_EQ(second.open(other), 1) << round;
        ASSERT_TRUE(waitForPanel(second, editorWindow(other), 0.5f, 0.5f)) << round;
    }
    EXPECT_TRUE(waitForPanel(first, editorWindow(parent), 0.5f, 0.5f));
    second.close();
    first.close();
}

int hostsOwnHandler(Display*, XErrorEvent*) {
    return 0;
}

// The drag also ends when the button is let go outside the panel's window.
TEST_F(PanelWindow, AnErrorHandlerTheHostInstallsDuringADragStaysInstalled) {
    Instance plugin;
    plugin.host.dispatch(effSetEditKnobMode, 0, 2); // linear
    ASSERT_EQ(plugin.open(parent), 1);
    const Window editor = editorWindow(parent);
    ASSERT_TRUE(waitForPanel(plugin, editor, 0.5f, 0.5f));
    testsupport::Watchdog watchdog(kWatchdogPatience, "the editor's idle did not return");
    movePointer(editor, 95, 210);
    pressButton(1);
    ASSERT_TRUE(waitUntil([&] { return !plugin.callsOf(audioMasterBeginEdit).empty(); },
                          [&] { plugin.idle(); }));
    XErrorHandler before = XSetErrorHandler(&hostsOwnHandler);
    movePointer(editor, 470, 210); // right of the panel, over the host's window
    for (int i = 0; i < 3; ++i)
        plugin.idle();
    releaseButton(1);
    EXPECT_TRUE(waitUntil([&] { return !plugin.callsOf(audioMasterEndEdit).empty(); },
                          [&] { plugin.idle(); }));
    EXPECT_EQ(plugin.callsOf(audioMasterEndEdit).size(), 1u);
    EXPECT_EQ(plugin.host.getParameter(0), 1.0f); // 375 pixels right: the top of the range
    EXPECT_EQ(XSetErrorHandler(before), &hostsOwnHandler);
    plugin.close();
}

// Without an X server to talk to, the editor does not open and nothing else changes.
TEST(PanelWithoutDisplay, OpenAnswersZero) {
    const char* saved = std::getenv("DISPLAY");
    const std::string previous = saved ? saved : "";
    setenv("DISPLAY", ":65531", 1);
    {
        Instance plugin;
        int window = 1;
        EXPECT_EQ(plugin.host.dispatch(effEditOpen, 0, 0, &window), 0);
        EXPECT_EQ(plugin.host.dispatch(effEditOpen, 0, 0, nullptr), 0);
        plugin.idle();
        plugin.close();
        ERect* rect = nullptr;
        EXPECT_EQ(plugin.host.dispatch(effEditGetRect, 0, 0, &rect), 1);
        EXPECT_TRUE(plugin.effect->flags & effFlagsHasEditor);
        EXPECT_EQ(plugin.host.getParameter(0), 0.5f);
    }
    if (saved)
        setenv("DISPLAY", previous.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

} // namespace
