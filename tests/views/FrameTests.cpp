#include "tests/views/ViewTestSupport.h"

#include "vstgui/CKnob.h"
#include "vstgui/COffscreenContext.h"
#include "vstgui/CViewContainer.h"

using namespace viewtest;

namespace {

constexpr CColor kRed{255, 0, 0, 255};
constexpr CColor kGreen{0, 255, 0, 255};
using Strings = std::vector<std::string>;

class Frame : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        frame = new CFrame(CRect(0, 0, 100, 80), nullptr, &editor);
    }
    void TearDown() override {
        if (frame) frame->forget();
        HeadlessTest::TearDown();
    }
    RecordingView* view(const CRect& r, const std::string& name, bool focusable = false,
                        CViewContainer* parent = nullptr) {
        auto* v = new RecordingView(r, kRed, &log, name);
        v->setWantsFocus(focusable);
        (parent ? parent : frame)->addView(v);
        return v;
    }
    std::vector<std::string> log;
    RecordingEditor editor{log};
    CFrame* frame = nullptr;
};

VstKeyCode tab(bool shift = false) {
    return VstKeyCode{0, 2, static_cast<unsigned char>(shift ? 1 : 0)};
}

} // namespace

TEST_F(Frame, WithoutAHostWindowNoWindowIsMade) {
    EXPECT_EQ(frame->getPlatformWindow(), nullptr);
    EXPECT_EQ(system.openWindowCount(), 0);
    EXPECT_TRUE(frame->isOpen());
    EXPECT_FALSE(frame->open());
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(system.threadInitDepth(), 1);
    EXPECT_FALSE(frame->setDropActive(true));
    EXPECT_TRUE(frame->setDropActive(false));
    CRect r;
    EXPECT_TRUE(frame->getSize(r));
    EXPECT_EQ(r, CRect(0, 0, 100, 80));
    frame->forget();
    frame = nullptr;
    EXPECT_EQ(system.threadInitDepth(), 0);
}

TEST_F(Frame, IdleDrawsOnlyAfterTheFirstDrawAndOnlyWhatIsDirty) {
    auto* a = view(CRect(0, 0, 40, 40), "a");
    auto* b = view(CRect(50, 0, 90, 40), "b");
    frame->idle();
    EXPECT_EQ(a->draws, 0);
    ImageContext image(100, 80, frame);
    frame->draw(image.get());
    EXPECT_EQ(a->draws, 1);
    frame->idle();
    EXPECT_EQ(a->draws + b->draws, 2);
    b->setDirty(true);
    frame->idle();
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 2);
    EXPECT_FALSE(frame->isDirty());

    // Updates can be held back.
    EXPECT_FALSE(frame->updatesDisabled(true));
    b->setDirty(true);
    frame->idle();
    EXPECT_EQ(b->draws, 2);
    EXPECT_TRUE(frame->updatesDisabled(false));
    frame->idle();
    EXPECT_EQ(b->draws, 3);

    // invalidate marks the direct children that overlap, edges included.
    frame->invalidate(CRect(40, 40, 45, 45));
    EXPECT_TRUE(a->isDirty());
    EXPECT_FALSE(b->isDirty());
}

TEST_F(Frame, PaintAndIdleGoThroughTheBackBufferIntoTheWindow) {
    frame->forget();
    frame = new CFrame(CRect(0, 0, 100, 80), reinterpret_cast<void*>(0x99), &editor);
    ASSERT_NE(frame->getPlatformWindow(), nullptr);
    EXPECT_EQ(system.openWindowCount(), 1);
    auto* a = view(CRect(10, 10, 40, 40), "a");
    cairo_surface_t* window = system.windowImage(frame->getPlatformWindow());
    ASSERT_NE(window, nullptr);

    frame->handlePaint(window, CRect(0, 0, 100, 80));
    EXPECT_TRUE(sameColour(ImageContext::pixelOf(window, 20, 20), kRed));
    EXPECT_TRUE(sameColour(ImageContext::pixelOf(window, 60, 60), kBlackCColor));

    a->colour = kGreen;
    a->setDirty(true);
    frame->idle();
    EXPECT_TRUE(sameColour(ImageContext::pixelOf(window, 20, 20), kGreen));

    // Once the host destroys the window the frame is closed: nothing more is drawn.
    system.destroyWindowFromOutside(frame->getPlatformWindow());
    EXPECT_FALSE(frame->isOpen());
    a->setDirty(true);
    const int32_t draws = a->draws;
    frame->idle();
    EXPECT_EQ(a->draws, draws);
    CRect r;
    EXPECT_FALSE(frame->getSize(r));
    EXPECT_FALSE(frame->setSize(200, 100));
}

TEST_F(Frame, TabMovesTheFocusThroughViewsThatWantIt) {
    auto* a = view(CRect(0, 0, 10, 10), "a", true);
    view(CRect(0, 0, 10, 10), "b", false);
    auto* nested = new CViewContainer(CRect(20, 20, 60, 60), frame);
    frame->addView(nested);
    auto* c = view(CRect(0, 0, 10, 10), "c", true, nested);
    auto* d = view(CRect(10, 10, 20, 20), "d", true, nested);

    VstKeyCode key = tab();
    EXPECT_EQ(frame->onKeyDown(key), 1);
    EXPECT_EQ(frame->getFocusView(), a);
    EXPECT_EQ(frame->onKeyDown(key), 1);
    EXPECT_EQ(frame->getFocusView(), c);
    EXPECT_EQ(frame->onKeyDown(key), 1);
    EXPECT_EQ(frame->getFocusView(), d);
    EXPECT_EQ(frame->onKeyDown(key), -1);
    EXPECT_EQ(frame->getFocusView(), nullptr);

    VstKeyCode back = tab(true);
    EXPECT_EQ(frame->onKeyDown(back), 1);
    EXPECT_EQ(frame->getFocusView(), d);
    EXPECT_EQ(frame->onKeyDown(back), 1);
    EXPECT_EQ(frame->getFocusView(), c);
    EXPECT_EQ(frame->onKeyDown(back), 1);
    EXPECT_EQ(frame->getFocusView(), a);
    EXPECT_EQ(frame->onKeyDown(back), -1);
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(Frame, KeysReachTheFocusViewThenTheModalView) {
    auto* a = view(CRect(0, 0, 10, 10), "a", true);
    auto* m = new RecordingView(CRect(50, 50, 60, 60), kRed, &log, "m");
    EXPECT_EQ(frame->setModalView(m), 1);
    frame->setFocusView(a);
    log.clear();
    VstKeyCode key{'k', 0, 0};
    EXPECT_EQ(frame->onKeyDown(key), -1);
    EXPECT_EQ(log, (Strings{"a:key", "m:key"}));
    m->keyResult = 1;
    EXPECT_EQ(frame->onKeyDown(key), 1);
    // No tab travel while a view is modal.
    m->keyResult = -1;
    VstKeyCode t = tab();
    EXPECT_EQ(frame->onKeyDown(t), -1);
    EXPECT_EQ(frame->onKeyUp(key), -1);
    frame->setModalView(nullptr);
    m->forget();
}

TEST_F(Frame, EveryClickClearsTheFocus) {
    auto* a = view(CRect(0, 0, 10, 10), "a", true);
    view(CRect(20, 20, 30, 30), "b");
    frame->setFocusView(a);
    log.clear();
    ImageContext image(100, 80, frame);
    CPoint where(25, 25);
    frame->mouse(image.get(), where, kLButton);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(log, (Strings{"a:loseFocus", "b:mouse"}));
}

TEST_F(Frame, TheModalViewTakesEveryClickAndTheWheel) {
    auto* a = view(CRect(0, 0, 50, 50), "a");
    auto* m = new RecordingView(CRect(60, 60, 90, 90), kRed, &log, "m");
    EXPECT_EQ(frame->setModalView(m), 1);
    EXPECT_TRUE(frame->isChild(m));
    EXPECT_EQ(m->getNbReference(), 2);
    auto* other = new RecordingView(CRect(0, 0, 5, 5), kRed);
    EXPECT_EQ(frame->setModalView(other), 0);
    EXPECT_EQ(frame->getModalView(), m);

    ImageContext image(100, 80, frame);
    CPoint outside(10, 10), inside(70, 70);
    frame->mouse(image.get(), outside, kLButton);
    EXPECT_TRUE(log.empty());
    frame->mouse(image.get(), inside, kLButton);
    EXPECT_EQ(log, (Strings{"m:mouse"}));
    EXPECT_TRUE(frame->onWheel(image.get(), CPoint(10, 10), -1.0f));
    EXPECT_EQ(log.back(), "m:wheel");
    EXPECT_EQ(m->lastWheel, -1.0f);
    system.setPointer(CPoint(5, 5));
    EXPECT_EQ(frame->getCurrentView(), m);

    EXPECT_EQ(frame->setModalView(nullptr), 1);
    EXPECT_FALSE(frame->isChild(m));
    EXPECT_EQ(m->getNbReference(), 1);
    EXPECT_TRUE(frame->onWheel(image.get(), CPoint(10, 10), 1.0f));
    EXPECT_EQ(log.back(), "a:wheel");
    EXPECT_EQ(frame->getCurrentView(), a);
    m->forget();
    other->forget();
}

TEST_F(Frame, ReleasedFocusOrModalViewsLeaveNoDanglingPointer) {
    auto* nested = new CViewContainer(CRect(20, 20, 60, 60), frame);
    frame->addView(nested);
    auto* c = view(CRect(0, 0, 10, 10), "c", true, nested);
    frame->setFocusView(c);
    frame->removeView(nested); // container and child are freed
    EXPECT_EQ(frame->getFocusView(), nullptr);

    auto* m = new RecordingView(CRect(0, 0, 10, 10), kRed);
    frame->setModalView(m);
    frame->removeView(m);
    EXPECT_EQ(frame->getModalView(), nullptr);
    VstKeyCode key{'k', 0, 0};
    EXPECT_EQ(frame->onKeyDown(key), -1);

    auto* a = view(CRect(0, 0, 10, 10), "a", true);
    frame->setFocusView(a);
    frame->removeAll();
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(frame->onKeyDown(key), -1);
}

TEST_F(Frame, SizeChanges) {
    EXPECT_FALSE(frame->setSize(100, 80));
    EXPECT_TRUE(frame->setSize(120, 90));
    CRect r;
    frame->getViewSize(r);
    EXPECT_EQ(r, CRect(0, 0, 120, 90));
    EXPECT_TRUE(frame->isDirty());
    EXPECT_EQ(frame->getBackBuffer()->getWidth(), 120);
    frame->setViewSize(CRect(0, 0, 120, 90));
    EXPECT_FALSE(frame->setPosition(5, 5));
    int32_t x = -1, y = -1;
    EXPECT_TRUE(frame->getPosition(x, y));
}

TEST_F(Frame, ForwardsGesturesIdleAndState) {
    auto* a = view(CRect(0, 0, 10, 10), "a");
    frame->beginEdit(3);
    frame->endEdit(3);
    frame->doIdleStuff();
    EXPECT_EQ(log, (Strings{"begin 3", "end 3"}));
    EXPECT_EQ(editor.idleRequests, 1);
    EXPECT_EQ(a->getEditor(), &editor);
    system.setTicks(1234);
    EXPECT_EQ(frame->getTicks(), 1234u);
    CFrame lone(CRect(0, 0, 10, 10), nullptr, nullptr);
    EXPECT_EQ(lone.getTicks(), 0u);
    lone.doIdleStuff();
    EXPECT_EQ(a->getEditor(), &editor);

    CFrame::setGlobalKnobMode(kLinearMode);
    EXPECT_EQ(lone.getKnobMode(), kLinearMode);
    EXPECT_EQ(frame->getKnobMode(), kLinearMode);

    // The pointer in frame coordinates.
    frame->forget();
    frame = new CFrame(CRect(0, 0, 100, 80), reinterpret_cast<void*>(0x5), &editor);
    system.setWindowScreenOrigin(frame->getPlatformWindow(), CPoint(200, 100));
    system.setPointer(CPoint(230, 140));
    CPoint where;
    EXPECT_TRUE(frame->getCurrentLocation(where));
    EXPECT_EQ(where, CPoint(30, 40));
}

TEST_F(Frame, CursorsComeBackToTheDefault) {
    frame->forget();
    frame = new CFrame(CRect(0, 0, 100, 80), reinterpret_cast<void*>(0x5), &editor);
    auto* initial = reinterpret_cast<void*>(0x77);
    system.setCursor(frame->getPlatformWindow(), initial);
    frame->setCursor(kCursorHand);
    EXPECT_NE(system.shownCursor(), initial);
    frame->setCursor(7);
    EXPECT_EQ(system.shownCursor(), initial);
    frame->setCursor(kCursorWait);
    frame->forget();
    frame = nullptr;
    EXPECT_EQ(system.shownCursor(), initial);
    EXPECT_EQ(system.openWindowCount(), 0);
}
