#include "tests/views/ViewTestSupport.h"

#include "vstgui/CAnimKnob.h"
#include "vstgui/CKnob.h"
#include "vstgui/CParamDisplay.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace viewtest;
using platform::PointerStep;

namespace {

// A knob of 100 x 100 at (50, 50) in a frame, with a listener and an editor that share one log.
class Knob : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        frame = new CFrame(CRect(0, 0, 400, 300), nullptr, &editor);
        knob = new CKnob(CRect(50, 50, 150, 150), &listener, 7, nullptr, nullptr, CPoint(0, 0));
        frame->addView(knob);
        frame->draw(image.get()); // drawn at 0: clean
        log.clear();
    }
    void TearDown() override {
        frame->forget();
        HeadlessTest::TearDown();
    }
    // Presses at where, then idles the frame, as the host's idle calls do, until the drag ends
    // with the script's release; the number of idle calls it took.
    int32_t press(CPoint where, int32_t buttons, const std::vector<PointerStep>& steps) {
        system.addPointerSteps(steps);
        frame->mouse(image.get(), where, buttons);
        int32_t idles = 0;
        for (; frame->getTrackingView() && idles < 1000; ++idles)
            frame->idle();
        return idles;
    }
    // The point on the knob's circle (radius 40 around its centre) at a compass angle in degrees.
    static CPoint at(double degrees) {
        const double a = degrees * 3.14159265358979 / 180.0;
        return CPoint(100 + static_cast<int32_t>(std::lround(40.0 * std::cos(a))),
                      100 - static_cast<int32_t>(std::lround(40.0 * std::sin(a))));
    }

    std::vector<std::string> log;
    RecordingListener listener{log};
    RecordingEditor editor{log};
    ImageContext image{400, 300};
    CFrame* frame = nullptr;
    CKnob* knob = nullptr;
};

using Strings = std::vector<std::string>;

} // namespace

TEST_F(Knob, ControlClickSetsTheDefaultValue) {
    CPoint where(60, 60);
    frame->mouse(image.get(), where, kControl | kLButton);
    EXPECT_EQ(knob->getValue(), 0.5f);
    // The listener is asked about the modifier first and leaves the click to the knob.
    EXPECT_EQ(log, (Strings{"modifier 17", "begin 7", "change 7 0.5000", "end 7"}));
    EXPECT_EQ(frame->getFocusView(), knob);

    // Control with another modifier is no default-value click.
    knob->setValue(0.9f);
    frame->draw(image.get());
    system.addPointerSteps({{CPoint(60, 60), kControl | kAlt}});
    frame->mouse(image.get(), where, kControl | kAlt | kLButton);
    EXPECT_NE(knob->getValue(), 0.5f);
}

TEST_F(Knob, ControlShiftClickAsksTheListenerAndThenDrags) {
    CPoint where(100, 50);
    press(where, kControl | kShift | kLButton, {{CPoint(100, 50), kLButton}, {CPoint(100, 50), 0}});
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), "modifier 25");
    EXPECT_EQ(log[1], "begin 7");
    EXPECT_EQ(log.back(), "end 7");

    // A listener that takes the click ends it there.
    log.clear();
    listener.modifierAnswer = 1;
    frame->mouse(image.get(), where, kShift | kLButton);
    EXPECT_EQ(log, (Strings{"modifier 9"}));
}

TEST_F(Knob, OnlyTheLeftButtonDoesAnything) {
    CPoint where(100, 50);
    frame->mouse(image.get(), where, kRButton);
    frame->mouse(image.get(), where, kMButton);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(knob->getValue(), 0.0f);
    knob->setMouseEnabled(false);
    frame->mouse(image.get(), where, kLButton);
    EXPECT_TRUE(log.empty());
}

TEST_F(Knob, AngleMappingBothWays) {
    CPoint p(50, 0); // top, relative to the knob
    EXPECT_FLOAT_EQ(knob->valueFromPoint(p), 0.5f);
    knob->setValue(0.5f);
    knob->valueToPoint(p);
    EXPECT_EQ(p, CPoint(50, 3));
    knob->setValue(0.0f);
    knob->valueToPoint(p);
    EXPECT_EQ(p, CPoint(17, 83)); // 225 degrees, 47 from the centre
    knob->setValue(1.0f);
    knob->valueToPoint(p);
    EXPECT_EQ(p, CPoint(83, 83));
    // The dead sector at the bottom: its left half gives the minimum, its right half the maximum.
    CPoint lowerLeft(40, 99), lowerRight(60, 99);
    EXPECT_EQ(knob->valueFromPoint(lowerLeft), 0.0f);
    EXPECT_EQ(knob->valueFromPoint(lowerRight), 1.0f);
    // Left and right of the centre.
    CPoint left(0, 50), right(100, 50);
    EXPECT_NEAR(knob->valueFromPoint(left), 1.0f / 6.0f, 1e-5);
    EXPECT_NEAR(knob->valueFromPoint(right), 5.0f / 6.0f, 1e-5);

    // A new range applies to the mapping only once the angles are set again.
    knob->setValue(0.5f);
    knob->setMax(2.0f);
    knob->valueToPoint(p);
    EXPECT_EQ(p, CPoint(50, 3));
    knob->setRangeAngle(knob->getRangeAngle());
    knob->valueToPoint(p);
    EXPECT_NE(p, CPoint(50, 3));
    knob->setValue(1.0f);
    knob->valueToPoint(p);
    EXPECT_EQ(p, CPoint(50, 3));
}

TEST_F(Knob, HandlePointStaysDefinedForValuesThatAreNotNumbers) {
    // A value that is not a number, an infinite one, or a range of width 0 gives no angle; the
    // handle point must still be a point of the knob (and a well-defined integer).
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity()};
    for (float value : odd) {
        knob->setValue(value);
        CPoint p;
        knob->valueToPoint(p);
        EXPECT_TRUE(p.h >= 0 && p.h <= 100 && p.v >= 0 && p.v <= 100) << value;
    }
    knob->setValue(0.0f);
    knob->setMax(0.0f);
    knob->setStartAngle(knob->getStartAngle()); // vmin == vmax: no value per radian
    CPoint p;
    knob->valueToPoint(p);
    EXPECT_TRUE(p.h >= 0 && p.h <= 100 && p.v >= 0 && p.v <= 100);
    ImageContext small(10, 10);
    CAnimKnob anim(CRect(0, 0, 10, 10), nullptr, 0, 50, 10, nullptr, CPoint(0, 0));
    anim.setValue(std::numeric_limits<float>::quiet_NaN());
    anim.draw(small.get());
    EXPECT_FALSE(anim.isDirty());
}

TEST_F(Knob, CircularPressAtTheTopGivesHalfAtOnce) {
    // The press reports at once; the release is seen at the next idle of the frame, and the drag
    // asks the editor for no idle work of its own.
    EXPECT_EQ(press(CPoint(100, 50), kLButton, {{CPoint(100, 50), kLButton}, {CPoint(100, 50), 0}}),
              1);
    EXPECT_EQ(log, (Strings{"begin 7", "change 7 0.5000", "end 7"}));
    EXPECT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(editor.idleRequests, 0);
}

TEST_F(Knob, CircularDragAcrossTheDeadSectorStaysAtTheLimit) {
    press(at(-40), kLButton,
          {{at(-60), kLButton},
           {at(-80), kLButton},
           {at(-100), kLButton},
           {at(-130), kLButton},
           {at(-140), kLButton},
           {at(-140), 0}});
    ASSERT_FALSE(listener.values.empty());
    EXPECT_NEAR(listener.values.front(), 1.0f - 5.0f / 270.0f, 1e-3);
    for (float v : listener.values)
        EXPECT_GE(v, 0.9f);
    EXPECT_EQ(knob->getValue(), 1.0f);

    // Coming back into the range from the pinned limit takes the pointer's value again.
    listener.values.clear();
    press(at(-40), kLButton, {{at(-100), kLButton}, {at(-20), kLButton}, {at(-20), 0}});
    EXPECT_NEAR(knob->getValue(), 1.0f - 25.0f / 270.0f, 1e-3);
}

TEST_F(Knob, LinearDragCoversTheRangeIn200Pixels) {
    CFrame::setGlobalKnobMode(kLinearMode);
    press(CPoint(100, 100), kLButton,
          {{CPoint(200, 100), kLButton},
           {CPoint(200, 0), kLButton},
           {CPoint(250, 0), kLButton},
           {CPoint(250, 0), 0}});
    // The knob took the focus (which marks it dirty), so the press itself reports 0 first; the
    // frame's idle draws it between steps, so the last step, still at 1, reports nothing.
    EXPECT_EQ(listener.values, (std::vector<float>{0.0f, 0.5f, 1.0f}));
    EXPECT_EQ(log.front(), "begin 7");
    EXPECT_EQ(log.back(), "end 7");

    // With shift the same range takes 300 pixels.
    knob->setValue(0.0f);
    frame->draw(image.get());
    listener.values.clear();
    press(CPoint(100, 100), kLButton | kShift,
          {{CPoint(250, 100), kLButton | kShift},
           {CPoint(300, 100), kLButton | kShift},
           {CPoint(400, 100), kLButton | kShift},
           {CPoint(400, 100), kShift}});
    ASSERT_EQ(listener.values.size(), 4u);
    EXPECT_FLOAT_EQ(listener.values[1], 0.5f);
    EXPECT_NEAR(listener.values[2], 2.0f / 3.0f, 1e-5);
    EXPECT_FLOAT_EQ(listener.values[3], 1.0f);

    // Alt swaps the mode: circular, so the press at the top gives 0.5.
    listener.values.clear();
    press(CPoint(100, 50), kLButton | kAlt, {{CPoint(100, 50), kLButton}, {CPoint(100, 50), 0}});
    EXPECT_EQ(listener.values.back(), 0.5f);
}

TEST_F(Knob, ShiftDuringALinearDragChangesSensitivityWithoutAJump) {
    CFrame::setGlobalKnobMode(kLinearMode);
    press(CPoint(100, 100), kLButton,
          {{CPoint(200, 100), kLButton},
           {CPoint(200, 100), kLButton | kShift},
           {CPoint(230, 100), kLButton | kShift},
           {CPoint(260, 100), kLButton | kShift},
           {CPoint(260, 100), 0}});
    ASSERT_EQ(listener.values.size(), 4u);
    EXPECT_FLOAT_EQ(listener.values[1], 0.5f);
    // The first move after the switch continues from where the value was, at the old rate at
    // most; after it 30 pixels are worth 30 / 300.
    EXPECT_LE(listener.values[2] - listener.values[1], 30.0f / 200.0f + 1e-5f);
    EXPECT_NEAR(listener.values[3] - listener.values[2], 0.1f, 1e-5);
}

TEST_F(Knob, TrackingEndsWhenTheFrameClosesOrTheWindowGoes) {
    // A script that would hold the button for a long time.
    std::vector<PointerStep> held(50, PointerStep{CPoint(100, 50), kLButton});
    system.addPointerSteps(held);
    CPoint where(100, 50);
    frame->mouse(image.get(), where, kLButton);
    frame->idle();
    frame->idle();
    EXPECT_EQ(frame->getTrackingView(), knob);
    EXPECT_EQ(log.back(), "change 7 0.5000");
    frame->setOpenFlag(false);
    frame->idle();
    EXPECT_EQ(frame->getTrackingView(), nullptr);
    EXPECT_EQ(log.back(), "end 7");
    EXPECT_GT(system.remainingPointerSteps(), 40u);
}

TEST_F(Knob, TrackingEndsWhenTheHostDestroysTheWindow) {
    frame->forget();
    frame = new CFrame(CRect(0, 0, 400, 300), reinterpret_cast<void*>(0x10), &editor);
    knob = new CKnob(CRect(50, 50, 150, 150), &listener, 7, nullptr, nullptr, CPoint(0, 0));
    frame->addView(knob);
    ASSERT_NE(frame->getPlatformWindow(), nullptr);
    std::vector<PointerStep> steps(3, PointerStep{CPoint(100, 50), kLButton});
    steps.push_back(PointerStep{CPoint(100, 50), kLButton, true});
    steps.resize(50, PointerStep{CPoint(100, 50), kLButton});
    press(CPoint(100, 50), kLButton, steps);
    EXPECT_GT(system.remainingPointerSteps(), 40u);
    EXPECT_EQ(log.back(), "end 7");
}

TEST_F(Knob, EditorClosingDuringTheDragLeavesNothingDangling) {
    editor.adopt(frame);
    std::vector<PointerStep> held(20, PointerStep{CPoint(100, 50), kLButton});
    CPoint where(100, 50);
    system.addPointerSteps(held);
    knob->mouse(image.get(), where, kLButton);
    frame->idle();
    // The host closes the editor between two idle calls, the button still down.
    editor.release();
    frame->forget();
    frame = nullptr;
    // The host still sees the gesture end, exactly once.
    EXPECT_EQ(std::count(log.begin(), log.end(), "begin 7"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "end 7"), 1);
    EXPECT_EQ(log.back(), "end 7");
    frame = new CFrame(CRect(0, 0, 10, 10), nullptr, nullptr); // for TearDown
}

TEST_F(Knob, FrameEndsNoGestureTwice) {
    press(CPoint(100, 50), kLButton, {{CPoint(100, 50), kLButton}, {CPoint(100, 50), 0}});
    EXPECT_EQ(log.back(), "end 7");
    frame->forget();
    frame = new CFrame(CRect(0, 0, 10, 10), nullptr, nullptr); // for TearDown
    EXPECT_EQ(std::count(log.begin(), log.end(), "end 7"), 1);
}

TEST_F(Knob, WheelStepsAndTheLimit) {
    knob->setValue(0.5f);
    frame->draw(image.get());
    system.setPointer(CPoint(100, 100), 0);
    EXPECT_TRUE(frame->onWheel(image.get(), CPoint(100, 100), 1.0f));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
    EXPECT_EQ(log, (Strings{"begin 7", "change 7 0.6000", "end 7"}));
    system.setPointer(CPoint(100, 100), kShift);
    EXPECT_TRUE(frame->onWheel(image.get(), CPoint(100, 100), -1.0f));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.59f);

    // Drawn at 1.0, a further step up changes nothing and tells no one.
    knob->setValue(1.0f);
    frame->draw(image.get());
    log.clear();
    system.setPointer(CPoint(100, 100), 0);
    EXPECT_TRUE(knob->onWheel(image.get(), CPoint(50, 50), 1.0f));
    EXPECT_EQ(knob->getValue(), 1.0f);
    EXPECT_TRUE(log.empty());

    knob->setMouseEnabled(false);
    EXPECT_FALSE(knob->onWheel(image.get(), CPoint(50, 50), -1.0f));
}

TEST_F(Knob, ArrowKeysStepTheValue) {
    knob->setValue(0.5f);
    frame->draw(image.get());
    VstKeyCode up{0, 12, 0}, downShift{0, 14, 1}, other{'a', 0, 0};
    EXPECT_EQ(knob->onKeyDown(up), 1);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
    EXPECT_EQ(log, (Strings{"begin 7", "change 7 0.6000", "end 7"}));
    EXPECT_EQ(knob->onKeyDown(downShift), 1);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.59f);
    EXPECT_EQ(knob->onKeyDown(other), -1);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.59f);
}

TEST(Control, KnobHandleBitmapReferences) {
    auto* handle = new MemoryBitmap(9, 9, [](int32_t, int32_t) { return kWhiteCColor; });
    CKnob knob(CRect(0, 0, 40, 40), nullptr, 0, nullptr, handle, CPoint(0, 0));
    EXPECT_EQ(handle->getNbReference(), 2);
    handle->forget();             // the knob holds the only reference now
    knob.setHandleBitmap(handle); // set again: kept, not released
    ASSERT_EQ(handle->getNbReference(), 1);
    auto* other = new MemoryBitmap(5, 5, [](int32_t, int32_t) { return kWhiteCColor; });
    knob.setHandleBitmap(other);
    EXPECT_EQ(other->getNbReference(), 2);
    other->forget();
}

TEST(Control, DirtinessFollowsTheValue) {
    CAnimKnob knob(CRect(0, 0, 10, 10), nullptr, 0, 50, 10, nullptr, CPoint(0, 0));
    EXPECT_TRUE(knob.isDirty()); // until first drawn
    ImageContext image(10, 10);
    knob.draw(image.get());
    EXPECT_FALSE(knob.isDirty());
    knob.setValue(0.9f);
    EXPECT_TRUE(knob.isDirty());
    knob.draw(image.get());
    // A change that leaves the handle where it was drawn is not worth a redraw.
    knob.setValue(0.9001f);
    EXPECT_FALSE(knob.isDirty());
    knob.setDirty(true);
    EXPECT_TRUE(knob.isDirty());
    knob.setDirty(false);
    EXPECT_EQ(knob.getOldValue(), 0.9001f);

    CParamDisplay display(CRect(0, 0, 10, 10));
    // Once drawn, a value that is not a number leaves the control clean until it changes.
    display.setValue(std::numeric_limits<float>::quiet_NaN());
    display.draw(image.get());
    EXPECT_FALSE(display.isDirty());
    display.setValue(0.25f);
    EXPECT_TRUE(display.isDirty());
    display.setValue(-1.0f);
    display.setDirty(true);
    EXPECT_NE(display.getOldValue(), -1.0f);
    EXPECT_TRUE(display.isDirty());
    EXPECT_TRUE(display.isTypeOf("CControl"));
    EXPECT_FALSE(display.isTypeOf("CKnob"));
    EXPECT_TRUE(knob.isTypeOf("CKnob"));
    EXPECT_TRUE(knob.isTypeOf("CAnimKnob"));
}

TEST(AnimKnob, FilmStripFrames) {
    // Fifty frames of 10 x 10; frame k is painted (k, 255 - k, 0).
    auto* strip = new MemoryBitmap(10, 500, [](int32_t, int32_t y) {
        return CColor{uint8_t(y / 10), uint8_t(255 - y / 10), 0, 255};
    });
    CAnimKnob knob(CRect(0, 0, 10, 10), nullptr, 0, 50, 10, strip, CPoint(0, 0));
    strip->forget();
    ImageContext image(10, 10);
    const struct {
        float value;
        int32_t frame;
    } cases[] = {{0.0f, 0},  {0.5f, 24}, {0.98f, 48}, {0.99f, 48},
                 {1.0f, 49}, {1.5f, 49}, {-0.2f, 0},  {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (const auto& c : cases) {
        knob.setValue(c.value);
        EXPECT_EQ(knob.frameOffset(), c.frame * 10) << c.value;
        knob.draw(image.get());
        EXPECT_EQ(image.pixel(5, 5).red, c.frame) << c.value;
        EXPECT_EQ(image.pixel(9, 9).red, c.frame) << c.value;
    }
    knob.setInverseBitmap(true);
    knob.setValue(0.0f);
    EXPECT_EQ(knob.frameOffset(), 490);
}

TEST(ParamDisplay, TextWithoutAConverter) {
    CParamDisplay display(CRect(0, 0, 40, 20));
    char text[256];
    display.setValue(0.5f);
    display.getText(text);
    EXPECT_STREQ(text, "0.50");
    display.setValue(1.0f);
    display.getText(text);
    EXPECT_STREQ(text, "1.00");
    display.setStringConvert([](float v, char* t) { std::snprintf(t, 256, "%d!", int(v * 10)); });
    display.getText(text);
    EXPECT_STREQ(text, "10!");
    display.setStringConvert(
        [](float, char* t, void* data) { std::snprintf(t, 256, "%s", static_cast<char*>(data)); },
        const_cast<char*>("user"));
    display.getText(text);
    EXPECT_STREQ(text, "user");
}

namespace {

constexpr CColor kBack{0, 0, 255, 255};
constexpr CColor kLine{255, 0, 0, 255};

// Draws a display at (10, 10, 50, 30) with the given style on a cleared image.
struct StyledDisplay {
    explicit StyledDisplay(int32_t style) : display(new CParamDisplay(CRect(10, 10, 50, 30))) {
        display->setStyle(style);
        display->setBackColor(kBack);
        display->setFrameColor(kLine);
        display->setValue(0.5f);
        display->draw(image.get());
    }
    ~StyledDisplay() { display->forget(); }
    bool anyInside(const std::function<bool(CColor)>& test) const {
        for (int32_t y = 12; y < 28; ++y)
            for (int32_t x = 12; x < 48; ++x)
                if (test(image.pixel(x, y))) return true;
        return false;
    }
    ImageContext image{60, 40};
    CParamDisplay* display;
};

bool isBack(CColor c) {
    return sameColour(c, kBack);
}

} // namespace

TEST(ParamDisplay, StyleBits) {
    {
        StyledDisplay plain(0);
        EXPECT_TRUE(sameColour(plain.image.pixel(10, 20), kLine)); // outline
        EXPECT_TRUE(sameColour(plain.image.pixel(49, 20), kLine));
        EXPECT_TRUE(isBack(plain.image.pixel(12, 12)));
        EXPECT_TRUE(plain.anyInside([](CColor c) { return !isBack(c); })); // the text
        EXPECT_FALSE(plain.anyInside([](CColor c) { return sameColour(c, kLine); }));
        EXPECT_EQ(plain.image.pixel(5, 5).alpha, 0); // nothing outside
    }
    {
        StyledDisplay in(k3DIn);
        EXPECT_TRUE(isBack(in.image.pixel(10, 20)));
        EXPECT_TRUE(sameColour(in.image.pixel(49, 20), kLine));
        EXPECT_TRUE(sameColour(in.image.pixel(30, 29), kLine));
        EXPECT_TRUE(isBack(in.image.pixel(30, 11)));
    }
    {
        StyledDisplay out(k3DOut);
        EXPECT_TRUE(sameColour(out.image.pixel(10, 20), kLine));
        EXPECT_TRUE(isBack(out.image.pixel(49, 20)));
    }
    {
        StyledDisplay noFrame(kNoFrame | kNoTextStyle);
        EXPECT_EQ(noFrame.image.pixel(10, 20).alpha, 0); // fill leaves its first column out
        EXPECT_FALSE(noFrame.anyInside([](CColor c) { return !isBack(c); }));
    }
    {
        StyledDisplay shadow(kShadowText);
        EXPECT_TRUE(shadow.anyInside([](CColor c) { return c.red > 150 && c.blue < 100; }));
    }
    {
        auto* display = new CParamDisplay(CRect(10, 10, 50, 30), nullptr, kNoDrawStyle);
        EXPECT_FALSE(display->isDirty());
        ImageContext image(60, 40);
        display->draw(image.get());
        EXPECT_EQ(image.pixel(30, 20).alpha, 0);
        display->forget();
    }
}

TEST(ParamDisplay, SettersMarkDirtyOnlyOnChange) {
    CParamDisplay display(CRect(0, 0, 10, 10));
    display.setDirty(false);
    display.setFontColor(kWhiteCColor);
    display.setFont(3);
    display.setHoriAlign(1);
    EXPECT_FALSE(display.isDirty());
    display.setFontColor(CColor{255, 255, 255, 0}); // alpha alone counts
    EXPECT_TRUE(display.isDirty());
    display.setDirty(false);
    display.setStringConvert([](float, char* t) { t[0] = 0; });
    display.setTextTransparency(false);
    EXPECT_FALSE(display.isDirty());
}
