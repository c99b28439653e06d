// The LV2 UI as a host drives it: loaded through lv2ui_descriptor with the host's window as
// ui:parent (or with none, shown through its show interface), idled through its idle interface,
// port values sent with port_event and the panel's changes received through the write function
// and ui:touch. Real pointer input through XTest, pixels read back from the X server.
#include "lv2/Lv2Ports.h"
#include "tests/support/Watchdog.h"
#include "tests/support/X11HostTest.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <lv2/log/log.h>
#include <lv2/ui/ui.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vorpane::lv2;

constexpr int kKnobLeft = 20, kKnobTop = 135, kKnobSize = 150;

const LV2UI_Descriptor* uiDescriptor() {
    static const LV2UI_Descriptor* descriptor = [] {
        void* library = dlopen(VORPANE_LV2_BUNDLE "/vorpane_ui.so", RTLD_NOW | RTLD_LOCAL);
        if (!library) return static_cast<const LV2UI_Descriptor*>(nullptr);
        auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
        return entry ? entry(0) : nullptr;
    }();
    return descriptor;
}

// One UI instance with the host's side of it: what was written, touched and resized.
struct HostedUi {
    struct Write {
        uint32_t port;
        float value;
    };
    std::vector<Write> writes;
    std::vector<std::pair<uint32_t, bool>> touches;
    std::vector<std::string> logLines;
    int width = 0, height = 0;
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    const LV2UI_Show_Interface* showInterface = nullptr;
    Window topLevel = 0; // the UI's own window, once the test has found it

    // Without a parent (0) the host offers no ui:parent.
    explicit HostedUi(Window parent) {
        const LV2UI_Descriptor* descriptor = uiDescriptor();
        if (!descriptor) return;
        touchFeature = {this, [](LV2UI_Feature_Handle self, uint32_t port, bool grabbed) {
                            static_cast<HostedUi*>(self)->touches.emplace_back(port, grabbed);
                        }};
        resizeFeature = {this, [](LV2UI_Feature_Handle self, int width, int height) {
                             static_cast<HostedUi*>(self)->width = width;
                             static_cast<HostedUi*>(self)->height = height;
                             return 0;
                         }};
        const LV2_Feature parentFeature{LV2_UI__parent,
                                        testsupport::X11HostTest::handleFor(parent)};
        const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
        const LV2_Feature touch{LV2_UI__touch, &touchFeature};
        const LV2_Feature resize{LV2_UI__resize, &resizeFeature};
        logFeature = {this, &HostedUi::logPrintf, &HostedUi::logVprintf};
        const LV2_Feature log{LV2_LOG__log, &logFeature};
        const LV2_Feature* features[] = {&idleFeature, &touch,         &resize,
                                         &log,         &parentFeature, nullptr};
        if (!parent) features[4] = nullptr;
        handle = descriptor->instantiate(descriptor, kPluginUri, VORPANE_LV2_BUNDLE "/", &write,
                                         this, &widget, features);
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(
            descriptor->extension_data(LV2_UI__idleInterface));
        showInterface = static_cast<const LV2UI_Show_Interface*>(
            descriptor->extension_data(LV2_UI__showInterface));
        // A host sends the current port values after instantiation: here the defaults.
        portEvent(kAzimuth, 0.25f);
        portEvent(kElevation, 90.25f);
    }
    ~HostedUi() {
        if (handle) uiDescriptor()->cleanup(handle);
    }
    void portEvent(uint32_t port, float value) {
        if (handle) uiDescriptor()->port_event(handle, port, sizeof value, 0, &value);
    }
    int idle() { return handle ? idleInterface->idle(handle) : 1; }
    Window window() const {
        return topLevel ? topLevel : static_cast<Window>(reinterpret_cast<uintptr_t>(widget));
    }

  private:
    static void write(LV2UI_Controller self, uint32_t port, uint32_t size, uint32_t protocol,
                      const void* buffer) {
        auto* ui = static_cast<HostedUi*>(const_cast<void*>(self));
        ASSERT_EQ(size, sizeof(float));
        ASSERT_EQ(protocol, 0u);
        float value;
        std::memcpy(&value, buffer, sizeof value);
        ui->writes.push_back({port, value});
    }
    static int logVprintf(LV2_Log_Handle self, LV2_URID, const char* format, va_list args) {
        char line[512];
        const int length = std::vsnprintf(line, sizeof line, format, args);
        static_cast<HostedUi*>(self)->logLines.emplace_back(line);
        return length;
    }
    static int logPrintf(LV2_Log_Handle self, LV2_URID type, const char* format, ...) {
        va_list args;
        va_start(args, format);
        const int length = logVprintf(self, type, format, args);
        va_end(args);
        return length;
    }
    LV2UI_Touch touchFeature{};
    LV2UI_Resize resizeFeature{};
    LV2_Log_Log logFeature{};
};

class Lv2Ui : public testsupport::X11HostTest {
  protected:
    std::vector<uint32_t> knob(const HostedUi& ui) {
        return grab(ui.window(), kKnobLeft, kKnobTop, kKnobSize, kKnobSize);
    }
    // Idles the UIs until the first one's azimuth knob is drawn and stays as it is.
    bool drawnAndStill(HostedUi& ui, HostedUi* other = nullptr) {
        std::vector<uint32_t> before;
        return waitUntil(
            [&] {
                const std::vector<uint32_t> now = knob(ui);
                const bool drawn =
                    now == before &&
                    std::adjacent_find(now.begin(), now.end(), std::not_equal_to<>()) != now.end();
                before = now;
                return drawn;
            },
            [&] {
                ui.idle();
                if (other) other->idle();
            });
    }
    // The mapped top-level window named "Vorpane", or 0.
    Window shownTopLevel() {
        for (Window w : children(DefaultRootWindow(host))) {
            char* name = nullptr;
            XWindowAttributes attributes{};
            const bool match =
                XFetchName(host, w, &name) && name && std::strcmp(name, "Vorpane") == 0 &&
                XGetWindowAttributes(host, w, &attributes) && attributes.map_state == IsViewable;
            if (name) XFree(name);
            if (match) return w;
        }
        return 0;
    }
    // Idles the UI until its azimuth knob's pixels differ from before.
    bool knobChanges(HostedUi& ui, const std::vector<uint32_t>& before) {
        return waitUntil([&] { return knob(ui) != before; }, [&] { ui.idle(); });
    }
};

TEST_F(Lv2Ui, OpensInTheHostsWindowAndAPortEventMovesTheKnob) {
    ASSERT_NE(uiDescriptor(), nullptr) << dlerror();
    EXPECT_STREQ(uiDescriptor()->URI, kUiUri);
    HostedUi ui(parent);
    ASSERT_NE(ui.handle, nullptr);
    ASSERT_NE(ui.idleInterface, nullptr);
    EXPECT_EQ(ui.width, 454);
    EXPECT_EQ(ui.height, 302);
    ASSERT_EQ(children(parent), std::vector<Window>{ui.window()});
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(host, ui.window(), &attributes));
    EXPECT_EQ(attributes.width, 454);
    EXPECT_EQ(attributes.height, 302);

    ASSERT_TRUE(drawnAndStill(ui));
    const std::vector<uint32_t> before = knob(ui);
    ui.portEvent(kAzimuth, 60.0f);
    EXPECT_TRUE(knobChanges(ui, before));
    EXPECT_TRUE(ui.writes.empty()); // the host's own values are not written back
}

TEST_F(Lv2Ui, DraggingTheAzimuthKnobWritesRisingAnglesInsideOneTouchGesture) {
    HostedUi ui(parent);
    ASSERT_NE(ui.handle, nullptr);
    ASSERT_TRUE(drawnAndStill(ui));
    const std::vector<uint32_t> before = knob(ui);

    // The knob follows the pointer's angle around its centre: clockwise from the top raises the
    // value. All on the host's one thread: every idle call returns while the button stays down.
    testsupport::Watchdog watchdog(std::chrono::seconds(300), "the UI's idle did not return");
    const int centreX = kKnobLeft + kKnobSize / 2, centreY = kKnobTop + kKnobSize / 2;
    auto pointAt = [&](int step) {
        const double angle = step * 12.0 * M_PI / 180.0;
        movePointer(ui.window(), centreX + static_cast<int>(std::lround(60 * std::sin(angle))),
                    centreY - static_cast<int>(std::lround(60 * std::cos(angle))));
    };
    pointAt(0);
    pressButton(1);
    ASSERT_TRUE(waitUntil([&] { return !ui.touches.empty(); }, [&] { ui.idle(); }));
    for (int step = 1; step <= 5; ++step) {
        const size_t written = ui.writes.size();
        pointAt(step);
        EXPECT_TRUE(waitUntil([&] { return ui.writes.size() > written; }, [&] { ui.idle(); }))
            << step;
    }
    EXPECT_TRUE(knobChanges(ui, before));
    using Touch = std::pair<uint32_t, bool>;
    EXPECT_EQ(ui.touches, (std::vector<Touch>{{kAzimuth, true}})); // still held
    releaseButton(1);
    ASSERT_TRUE(waitUntil([&] { return ui.touches.size() >= 2; }, [&] { ui.idle(); }));

    EXPECT_EQ(ui.touches, (std::vector<Touch>{{kAzimuth, true}, {kAzimuth, false}}));
    ASSERT_GE(ui.writes.size(), 5u);
    for (size_t i = 0; i < ui.writes.size(); ++i) {
        EXPECT_EQ(ui.writes[i].port, kAzimuth);
        if (i > 0) {
            EXPECT_GT(ui.writes[i].value, ui.writes[i - 1].value);
        }
    }
    EXPECT_GE(ui.writes.front().value, 0.25f);
    EXPECT_GT(ui.writes.back().value, 30.0f);
    EXPECT_LE(ui.writes.back().value, 90.0f);
}

TEST_F(Lv2Ui, SeveralAtOnceWorkApartAndTwentyOpenAndCloseCyclesLeaveNoWindow) {
    const Window second = makeHostWindow(500, 0);
    {
        HostedUi first(parent), other(second);
        ASSERT_NE(first.handle, nullptr);
        ASSERT_NE(other.handle, nullptr);
        ASSERT_TRUE(drawnAndStill(other, &first));
        ASSERT_TRUE(drawnAndStill(first, &other));
        const std::vector<uint32_t> otherBefore = knob(other);
        const std::vector<uint32_t> firstBefore = knob(first);
        first.portEvent(kAzimuth, -80.0f);
        EXPECT_TRUE(knobChanges(first, firstBefore));
        other.idle();
        EXPECT_EQ(knob(other), otherBefore);
    }
    for (int round = 0; round < 20; ++round) {
        HostedUi ui(parent);
        ASSERT_NE(ui.handle, nullptr) << round;
        ui.idle();
    }
    EXPECT_TRUE(
        waitUntil([&] { return children(parent).empty() && children(second).empty(); }, nullptr));
}

TEST_F(Lv2Ui, WithoutAParentShowOpensAWindowOfItsOwnThatTheWindowManagerClosesPolitely) {
    HostedUi ui(0);
    ASSERT_NE(ui.handle, nullptr);
    ASSERT_NE(ui.showInterface, nullptr);
    EXPECT_EQ(ui.widget, nullptr);
    EXPECT_NE(ui.idle(), 0); // nothing shown yet
    const Atom protocols = XInternAtom(host, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(host, "WM_DELETE_WINDOW", False);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(ui.showInterface->show(ui.handle), 0);
        ASSERT_TRUE(
            waitUntil([&] { return (ui.topLevel = shownTopLevel()) != 0; }, [&] { ui.idle(); }));
        EXPECT_EQ(ui.idle(), 0);
        XWindowAttributes attributes;
        ASSERT_TRUE(XGetWindowAttributes(host, ui.topLevel, &attributes));
        EXPECT_EQ(attributes.width, 454);
        EXPECT_EQ(attributes.height, 302);
        XSizeHints hints{};
        long supplied = 0;
        ASSERT_TRUE(XGetWMNormalHints(host, ui.topLevel, &hints, &supplied));
        EXPECT_EQ(hints.min_width, 454);
        EXPECT_EQ(hints.max_width, 454);
        EXPECT_EQ(hints.min_height, 302);
        EXPECT_EQ(hints.max_height, 302);
        Atom* offered = nullptr;
        int count = 0;
        ASSERT_TRUE(XGetWMProtocols(host, ui.topLevel, &offered, &count));
        EXPECT_EQ(std::vector<Atom>(offered, offered + count), std::vector<Atom>{deleteWindow});
        XFree(offered);
        ASSERT_TRUE(drawnAndStill(ui));

        // The window manager asks the window to close, as it does when the user closes it.
        XEvent request{};
        request.xclient.type = ClientMessage;
        request.xclient.window = ui.topLevel;
        request.xclient.message_type = protocols;
        request.xclient.format = 32;
        request.xclient.data.l[0] = static_cast<long>(deleteWindow);
        request.xclient.data.l[1] = CurrentTime;
        XSendEvent(host, ui.topLevel, False, NoEventMask, &request);
        XSync(host, False);
        EXPECT_TRUE(waitUntil([&] { return ui.idle() != 0; }, nullptr));
        EXPECT_NE(ui.idle(), 0);
        EXPECT_TRUE(waitUntil([&] { return shownTopLevel() == 0; }, nullptr));
        ui.topLevel = 0;
    }

    // Shown once more, then hidden by the host; cleanup finds it shown a last time.
    ASSERT_EQ(ui.showInterface->show(ui.handle), 0);
    EXPECT_EQ(ui.idle(), 0);
    EXPECT_EQ(ui.showInterface->hide(ui.handle), 0);
    EXPECT_NE(ui.idle(), 0);
    EXPECT_TRUE(waitUntil([&] { return shownTopLevel() == 0; }, nullptr));
    ASSERT_EQ(ui.showInterface->show(ui.handle), 0);
    ASSERT_TRUE(waitUntil([&] { return shownTopLevel() != 0; }, [&] { ui.idle(); }));
}

TEST_F(Lv2Ui, AUiWhoseParentTheHostDestroysFirstClosesQuietly) {
    HostedUi ui(parent);
    ASSERT_NE(ui.handle, nullptr);
    ui.idle();
    const Window gone = parent;
    XDestroyWindow(host, parent);
    parent = 0;
    EXPECT_TRUE(waitUntil([&] { return ui.idle() != 0; }, nullptr));
    EXPECT_TRUE(ui.logLines.empty());

    // A UI asked for later inside the window that is gone is none, and the host's log says so.
    HostedUi late(gone);
    EXPECT_EQ(late.handle, nullptr);
    ASSERT_EQ(late.logLines.size(), 1u);
    EXPECT_NE(late.logLines[0].find("could not open"), std::string::npos) << late.logLines[0];
}

} // namespace
