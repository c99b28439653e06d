#include "tests/views/ViewTestSupport.h"

#include "vstgui/CDragContainer.h"
#include "vstgui/CViewContainer.h"

using namespace viewtest;

namespace {

class ViewTree : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        frame = new CFrame(CRect(0, 0, 100, 80), nullptr, nullptr);
    }
    void TearDown() override {
        frame->forget();
        HeadlessTest::TearDown();
    }
    // Adds a view the way the editor does: created with one reference, added, never released;
    // the frame releases both references when it goes.
    template <typename View> View* add(CViewContainer* parent, View* view) {
        parent->addView(view);
        return view;
    }
    CFrame* frame = nullptr;
    std::vector<std::string> log;
};

constexpr CColor kRed{255, 0, 0, 255};
constexpr CColor kGreen{0, 255, 0, 255};
constexpr CColor kBlue{0, 0, 255, 255};

} // namespace

TEST_F(ViewTree, HitTestAndOverlapIncludeTheEdges) {
    CView view(CRect(10, 20, 30, 40));
    EXPECT_TRUE(view.hitTest(CPoint(30, 40)));
    EXPECT_TRUE(view.hitTest(CPoint(10, 20)));
    EXPECT_FALSE(view.hitTest(CPoint(31, 40)));
    EXPECT_FALSE(view.hitTest(CPoint(30, 41)));
    // A rectangle that only touches the right edge overlaps; one pixel further does not.
    EXPECT_TRUE(view.checkUpdate(CRect(30, 0, 50, 20)));
    EXPECT_FALSE(view.checkUpdate(CRect(31, 0, 50, 20)));

    // The mouseable area keeps its value when the size changes.
    view.setViewSize(CRect(0, 0, 5, 5));
    EXPECT_TRUE(view.hitTest(CPoint(25, 25)));
    EXPECT_FALSE(view.hitTest(CPoint(2, 2)));
    EXPECT_TRUE(view.isDirty());
}

TEST_F(ViewTree, LaterChildrenAreDrawnOnTopAndHitFirst) {
    auto* a = add(frame, new RecordingView(CRect(10, 10, 50, 50), kRed, &log, "a"));
    auto* b = add(frame, new RecordingView(CRect(30, 30, 70, 70), kGreen, &log, "b"));
    ImageContext image(100, 80, frame);
    frame->draw(image.get());
    EXPECT_TRUE(sameColour(image.pixel(20, 20), kRed));
    EXPECT_TRUE(sameColour(image.pixel(40, 40), kGreen));
    EXPECT_TRUE(sameColour(image.pixel(60, 60), kGreen));
    EXPECT_FALSE(frame->isDirty());

    CPoint where(40, 40);
    frame->mouse(image.get(), where, kLButton);
    EXPECT_EQ(log, (std::vector<std::string>{"b:mouse"}));
    EXPECT_EQ(frame->getViewAt(CPoint(40, 40)), b);
    EXPECT_EQ(frame->getViewAt(CPoint(15, 15)), a);
    EXPECT_EQ(frame->getViewAt(CPoint(90, 5)), nullptr);

    // A view that is not mouse-enabled lets the click through to the one below.
    b->setMouseEnabled(false);
    frame->mouse(image.get(), where, kLButton);
    EXPECT_EQ(log.back(), "a:mouse");
}

TEST_F(ViewTree, ChildListByIndex) {
    auto* a = add(frame, new RecordingView(CRect(0, 0, 10, 10), kRed));
    auto* b = add(frame, new RecordingView(CRect(0, 0, 10, 10), kRed));
    frame->addView(nullptr);
    EXPECT_EQ(frame->getNbViews(), 2);
    EXPECT_EQ(frame->getView(0), a);
    EXPECT_EQ(frame->getView(1), b);
    EXPECT_EQ(frame->getView(-1), nullptr);
    EXPECT_EQ(frame->getView(2), nullptr);
    EXPECT_TRUE(frame->isChild(b));
    EXPECT_EQ(a->getFrame(), frame);
    EXPECT_EQ(a->getParentView(), frame);
}

TEST_F(ViewTree, ReferenceCountsThroughRemoval) {
    bool destroyed = false;
    auto* view = new RecordingView(CRect(0, 0, 10, 10), kRed);
    view->destroyed = &destroyed;
    frame->addView(view);
    EXPECT_EQ(view->getNbReference(), 2);
    frame->removeView(view, true);
    EXPECT_TRUE(destroyed);

    destroyed = false;
    view = new RecordingView(CRect(0, 0, 10, 10), kRed);
    view->destroyed = &destroyed;
    frame->addView(view);
    frame->removeView(view, false);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(view->getNbReference(), 1);
    EXPECT_EQ(view->getFrame(), nullptr);
    view->forget();
    EXPECT_TRUE(destroyed);

    // removeAll (false) leaves every child with its creator's reference.
    auto* kept = new RecordingView(CRect(0, 0, 10, 10), kRed);
    frame->addView(kept);
    frame->removeAll(false);
    EXPECT_EQ(frame->getNbViews(), 0);
    EXPECT_EQ(kept->getNbReference(), 1);
    kept->forget();
}

TEST_F(ViewTree, BackgroundBitmapHeldOnce) {
    auto* bitmap = new MemoryBitmap(4, 4, [](int32_t, int32_t) { return kBlue; });
    {
        CView view(CRect(0, 0, 4, 4));
        view.setBackground(bitmap);
        EXPECT_EQ(bitmap->getNbReference(), 2);
        view.setBackground(bitmap);
        EXPECT_EQ(bitmap->getNbReference(), 2);
    }
    EXPECT_EQ(bitmap->getNbReference(), 1);
    bitmap->forget();
}

TEST_F(ViewTree, KeysGoFromTheLastChildUntilOneTakesThem) {
    auto* keys = add(frame, new CViewContainer(CRect(0, 0, 50, 50), frame));
    VstKeyCode key{'x', 0, 0};
    EXPECT_EQ(keys->onKeyDown(key), -1);
    auto* a = add(keys, new RecordingView(CRect(0, 0, 10, 10), kRed, &log, "a"));
    auto* b = add(keys, new RecordingView(CRect(0, 0, 10, 10), kRed, &log, "b"));
    auto* c = add(keys, new RecordingView(CRect(0, 0, 10, 10), kRed, &log, "c"));

    EXPECT_EQ(keys->onKeyDown(key), -1);
    EXPECT_EQ(log, (std::vector<std::string>{"c:key", "b:key", "a:key"}));

    log.clear();
    b->keyResult = 0;
    a->keyResult = 1;
    EXPECT_EQ(keys->onKeyDown(key), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"c:key", "b:key"}));
    (void)c;
}

TEST_F(ViewTree, OnlyDirtyChildrenAreRedrawnClippedToTheContainer) {
    auto* container = new CViewContainer(CRect(10, 10, 60, 60), frame);
    container->setBackgroundColor(kBlue);
    frame->addView(container);
    auto* inside = add(container, new RecordingView(CRect(0, 0, 20, 20), kRed));
    auto* crossing = add(container, new RecordingView(CRect(40, 40, 70, 70), kGreen));
    auto* outside = add(container, new RecordingView(CRect(80, 0, 90, 10), kGreen));

    ImageContext image(100, 80, frame);
    frame->draw(image.get());
    EXPECT_FALSE(frame->isDirty());
    // The crossing child is clipped to the container (which ends at 60 in frame coordinates).
    EXPECT_TRUE(sameColour(image.pixel(55, 55), kGreen));
    EXPECT_TRUE(sameColour(image.pixel(65, 65), CColor{0, 0, 0, 255}));

    // A dirty child wholly outside the container leaves the container clean.
    outside->setDirty(true);
    EXPECT_FALSE(container->isDirty());
    outside->setDirty(false);

    const int32_t insideDraws = inside->draws;
    const int32_t crossingDraws = crossing->draws;
    crossing->colour = kRed;
    crossing->setDirty(true);
    EXPECT_TRUE(container->isDirty());
    container->update(image.get());
    EXPECT_EQ(inside->draws, insideDraws);
    EXPECT_EQ(crossing->draws, crossingDraws + 1);
    EXPECT_TRUE(sameColour(image.pixel(55, 55), kRed));
    EXPECT_TRUE(sameColour(image.pixel(65, 65), CColor{0, 0, 0, 255}));

    // In normal mode any dirt redraws every child.
    container->setMode(kNormalUpdate);
    crossing->setDirty(true);
    container->update(image.get());
    EXPECT_EQ(inside->draws, insideDraws + 1);
}

TEST_F(ViewTree, PartlyClippedDirtyChildStaysDirty) {
    auto* child = add(frame, new RecordingView(CRect(10, 10, 50, 50), kRed));
    ImageContext image(100, 80, frame);
    frame->draw(image.get());
    child->setDirty(true);
    frame->drawRect(image.get(), CRect(0, 0, 30, 30));
    EXPECT_EQ(child->draws, 2);
    EXPECT_TRUE(child->isDirty());
    EXPECT_TRUE(sameColour(image.pixel(20, 20), kRed));

    // Drawn whole, it is clean.
    frame->drawRect(image.get(), CRect(0, 0, 100, 80));
    EXPECT_FALSE(child->isDirty());
    // A clean child partly drawn stays clean.
    frame->drawRect(image.get(), CRect(0, 0, 30, 30));
    EXPECT_FALSE(child->isDirty());
}

TEST_F(ViewTree, OffscreenContainerDrawsTheSamePixels) {
    auto* container = new CViewContainer(CRect(20, 10, 70, 60), frame);
    container->setBackgroundColor(kBlue);
    container->useOffscreen(true);
    frame->addView(container);
    add(container, new RecordingView(CRect(5, 5, 25, 25), kRed));
    ImageContext image(100, 80, frame);
    frame->update(image.get()); // the frame is dirty: drawn whole through its back buffer
    EXPECT_TRUE(sameColour(image.pixel(30, 20), kRed));
    EXPECT_TRUE(sameColour(image.pixel(60, 50), kBlue));
    EXPECT_TRUE(sameColour(image.pixel(80, 50), CColor{0, 0, 0, 255}));

    // A partial redraw copies the updated region back at the right place.
    auto* child = static_cast<RecordingView*>(container->getView(0));
    child->colour = kGreen;
    child->setDirty(true);
    frame->update(image.get());
    EXPECT_TRUE(sameColour(image.pixel(30, 20), kGreen));
    EXPECT_TRUE(sameColour(image.pixel(60, 50), kBlue));
}

TEST_F(ViewTree, CoordinatesAndDeepHitTesting) {
    auto* outer = new CViewContainer(CRect(10, 10, 90, 70), frame);
    frame->addView(outer);
    auto* inner = new CViewContainer(CRect(5, 5, 45, 45), frame);
    outer->addView(inner);
    auto* leaf = add(inner, new RecordingView(CRect(10, 10, 20, 20), kRed));

    CPoint p(30, 30);
    leaf->frameToLocal(p);
    EXPECT_EQ(p, CPoint(15, 15));
    leaf->localToFrame(p);
    EXPECT_EQ(p, CPoint(30, 30));

    EXPECT_EQ(frame->getViewAt(CPoint(30, 30), false), outer);
    EXPECT_EQ(frame->getViewAt(CPoint(30, 30), true), leaf);
    EXPECT_EQ(frame->getViewAt(CPoint(17, 17), true), nullptr);

    // The pointer position as the leaf sees it: in its parent's coordinates.
    system.setPointer(CPoint(30, 30));
    ImageContext image(100, 80, frame);
    CPoint where;
    leaf->getMouseLocation(image.get(), where);
    EXPECT_EQ(where, CPoint(15, 15));
    EXPECT_EQ(image.get()->offset, CPoint(0, 0));
    EXPECT_EQ(outer->getCurrentView(), inner);

    // A container filled before it joins the frame reaches the frame through it.
    auto* loose = new CViewContainer(CRect(0, 0, 10, 10), nullptr);
    auto* loner = add(loose, new RecordingView(CRect(0, 0, 5, 5), kRed));
    EXPECT_EQ(loner->getFrame(), nullptr);
    frame->addView(loose);
    EXPECT_EQ(loner->getFrame(), frame);
}

TEST_F(ViewTree, WheelGoesToTheViewUnderThePointerInItsCoordinates) {
    auto* outer = new CViewContainer(CRect(10, 10, 90, 70), frame);
    frame->addView(outer);
    auto* leaf = add(outer, new RecordingView(CRect(10, 10, 30, 30), kRed, &log, "leaf"));
    ImageContext image(100, 80, frame);
    EXPECT_TRUE(frame->onWheel(image.get(), CPoint(25, 25), 1.0f));
    EXPECT_EQ(leaf->lastMouse, CPoint(15, 15));
    EXPECT_EQ(leaf->lastWheel, 1.0f);
    EXPECT_EQ(image.get()->offset, CPoint(0, 0));
    EXPECT_FALSE(frame->onWheel(image.get(), CPoint(95, 75), 1.0f));
}

TEST_F(ViewTree, DragEventsFollowThePointer) {
    add(frame, new RecordingView(CRect(0, 0, 40, 40), kRed, &log, "a"));
    add(frame, new RecordingView(CRect(50, 0, 90, 40), kRed, &log, "b"));
    auto* drag = new CDragContainer(nullptr, 1);
    ImageContext image(100, 80, frame);
    frame->onDragEnter(image.get(), drag, CPoint(10, 10));
    frame->onDragMove(image.get(), drag, CPoint(20, 10));
    frame->onDragMove(image.get(), drag, CPoint(60, 10));
    EXPECT_TRUE(frame->onDrop(image.get(), drag, CPoint(60, 10)));
    frame->onDragEnter(image.get(), drag, CPoint(10, 10));
    frame->onDragLeave(image.get(), drag, CPoint(10, 10));
    EXPECT_FALSE(frame->onDrop(image.get(), drag, CPoint(45, 60)));
    EXPECT_EQ(log, (std::vector<std::string>{"a:enter", "a:move", "a:leave", "b:enter", "b:drop",
                                             "b:leave", "a:enter", "a:leave"}));
    drag->forget();

    // Without a frame nothing happens.
    CViewContainer loose(CRect(0, 0, 10, 10), nullptr);
    EXPECT_FALSE(loose.onDrop(nullptr, nullptr, CPoint(1, 1)));
    EXPECT_EQ(loose.getViewAt(CPoint(1, 1)), nullptr);
}

TEST_F(ViewTree, TypesAndMessages) {
    CViewContainer container(CRect(0, 0, 10, 10), nullptr);
    CView view(CRect(0, 0, 1, 1));
    EXPECT_TRUE(container.isTypeOf("CViewContainer"));
    EXPECT_TRUE(container.isTypeOf("CView"));
    EXPECT_FALSE(container.isTypeOf("CScrollContainer"));
    EXPECT_FALSE(view.isTypeOf("CViewContainer"));
    EXPECT_TRUE(frame->isTypeOf("CFrame"));
    EXPECT_EQ(container.notify(nullptr, kMsgCheckIfViewContainer), kMessageNotified);
    // Messages are told apart by identity, not by content.
    const std::string copy = kMsgCheckIfViewContainer;
    EXPECT_EQ(container.notify(nullptr, copy.c_str()), kMessageUnknown);
    EXPECT_EQ(view.notify(nullptr, kMsgCheckIfViewContainer), kMessageUnknown);
}
