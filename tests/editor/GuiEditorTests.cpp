#include "editor/AEffGUIEditor.h"
#include "plugin/AVorpane.h"
#include "tests/support/HeadlessPlatform.h"
#include "vstgui/ButtonState.h"
#include "vstgui/CFrame.h"
#include "vstgui/CKnob.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace VSTGUI;

namespace {

struct HostCall {
    int32_t opcode;
    int32_t index;
};

// The host side of the test: records every callback; audioMasterIdle may run a hook.
std::vector<HostCall> hostCalls;
std::function<void()> onHostIdle;
intptr_t sizeWindowAnswer = 0;

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t index, intptr_t, void*, float) {
    hostCalls.push_back({opcode, index});
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterIdle && onHostIdle) onHostIdle();
    if (opcode == audioMasterCanDo || opcode == audioMasterSizeWindow) return sizeWindowAnswer;
    return 0;
}

size_t count(int32_t opcode) {
    size_t n = 0;
    for (const HostCall& call : hostCalls)
        if (call.opcode == opcode) ++n;
    return n;
}

// A view that takes keys and counts its draws.
class KeyView : public CView {
  public:
    using CView::CView;
    int32_t onKeyDown(VstKeyCode& key) override {
        keys.push_back(key);
        return 1;
    }
    void draw(CDrawContext*) override {
        ++draws;
        setDirty(false);
    }
    std::vector<VstKeyCode> keys;
    int32_t draws = 0;
};

// An editor of 454 x 302 with one view that takes keys, opened on a headless frame.
class TestEditor : public AEffGUIEditor {
  public:
    explicit TestEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
        rect = ERect{0, 0, 302, 454};
    }
    bool open(void* window) override {
        AEffGUIEditor::open(window);
        frame = new CFrame(CRect(0, 0, 454, 302), window, this);
        view = new KeyView(CRect(10, 10, 50, 50));
        view->setWantsFocus(true);
        frame->addView(view);
        return true;
    }
    void close() override {
        delete frame;
        frame = nullptr;
        view = nullptr;
        AEffGUIEditor::close();
    }
    void setParameter(int32_t index, float value) override { parameters.push_back({index, value}); }
    void idle() override {
        ++idles;
        AEffGUIEditor::idle();
    }
    KeyView* view = nullptr;
    std::vector<std::pair<int32_t, float>> parameters;
    int32_t idles = 0;
};

class GuiEditor : public ::testing::Test {
  protected:
    void SetUp() override {
        hostCalls.clear();
        onHostIdle = nullptr;
        sizeWindowAnswer = 0;
        platform::setPlatform(&system);
        system.setTicks(startTicks);
        makePlugin();
    }
    // A plug-in whose editor is the test's instead of its own panel.
    void makePlugin() {
        plugin = new AVorpane(
            hostCallback, [](AVorpane& owner) -> AEffEditor* { return new TestEditor(&owner); });
        editor = static_cast<TestEditor*>(plugin->getEditor());
        effect = plugin->getAeffect();
    }
    void TearDown() override {
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); // deletes plugin and editor
        platform::setPlatform(nullptr);
    }
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    uint32_t startTicks = 1000;
    platform::HeadlessPlatform system;
    AVorpane* plugin = nullptr;
    TestEditor* editor = nullptr;
    AEffect* effect = nullptr;
};

} // namespace

TEST_F(GuiEditor, HostRequestsReachTheEditor) {
    EXPECT_TRUE(effect->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 454);
    EXPECT_EQ(rect->bottom - rect->top, 302);
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, nullptr), 0);

    // Keys without an open frame are not taken.
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);

    EXPECT_EQ(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x42)), 1);
    ASSERT_NE(editor->getFrame(), nullptr);
    editor->getFrame()->setFocusView(editor->view);
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 5, nullptr, 1.0f), 1);
    ASSERT_EQ(editor->view->keys.size(), 1u);
    EXPECT_EQ(editor->view->keys[0].character, 'a');
    EXPECT_EQ(editor->view->keys[0].virt, 5);
    EXPECT_EQ(editor->view->keys[0].modifier, 1);
    EXPECT_EQ(dispatch(effEditKeyUp, 'a', 5, nullptr, 0.0f), 0); // the view takes no key-ups

    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, kLinearMode), 1);
    EXPECT_EQ(editor->getFrame()->getKnobMode(), kLinearMode);
    dispatch(effSetEditKnobMode, 0, kCircularMode);

    // Idle draws only after the first paint.
    EXPECT_EQ(dispatch(effEditIdle), 0);
    EXPECT_EQ(editor->view->draws, 0);
    editor->getFrame()->handlePaint(nullptr, CRect(0, 0, 454, 302));
    EXPECT_EQ(editor->view->draws, 1);
    editor->view->setDirty(true);
    dispatch(effEditIdle);
    EXPECT_EQ(editor->view->draws, 2);

    EXPECT_EQ(dispatch(effEditClose), 0);
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(system.openWindowCount(), 0);
}

TEST_F(GuiEditor, ParameterChangesReachTheEditor) {
    effect->setParameter(effect, 1, 0.25f);
    plugin->setParameterAutomated(0, 0.75f);
    ASSERT_EQ(editor->parameters.size(), 2u);
    EXPECT_EQ(editor->parameters[0], (std::pair<int32_t, float>{1, 0.25f}));
    EXPECT_EQ(editor->parameters[1], (std::pair<int32_t, float>{0, 0.75f}));
    EXPECT_EQ(count(audioMasterAutomate), 1u);
}

TEST_F(GuiEditor, GesturesAndHostIdleGoToTheHost) {
    editor->beginEdit(1);
    editor->endEdit(1);
    ASSERT_GE(hostCalls.size(), 2u);
    EXPECT_EQ(hostCalls[hostCalls.size() - 2].opcode, audioMasterBeginEdit);
    EXPECT_EQ(hostCalls[hostCalls.size() - 2].index, 1);
    EXPECT_EQ(hostCalls.back().opcode, audioMasterEndEdit);

    // A knob drag in the open editor: one begin and one end for its tag.
    dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x42));
    auto* knob = new CKnob(CRect(100, 100, 200, 200), nullptr, 0, nullptr, nullptr, CPoint());
    editor->getFrame()->addView(knob);
    hostCalls.clear();
    system.addPointerSteps({{CPoint(150, 100), kLButton}, {CPoint(150, 100), 0}});
    editor->getFrame()->handleButtonPress(CPoint(150, 100));
    EXPECT_EQ(count(audioMasterBeginEdit), 1u);
    EXPECT_EQ(count(audioMasterEndEdit), 0u); // the press returned with the button held
    EXPECT_EQ(knob->getValue(), 0.5f);
    dispatch(effEditIdle); // sees the release
    EXPECT_EQ(count(audioMasterEndEdit), 1u);
    EXPECT_EQ(count(audioMasterIdle), 0u); // the host is never asked for idle time
}

TEST_F(GuiEditor, IdleDuringDragIsPaced) {
    // The first call after construction is a full pass.
    editor->doIdleStuff();
    EXPECT_EQ(editor->idles, 1);
    EXPECT_EQ(count(audioMasterIdle), 1u);
    EXPECT_EQ(system.paintDispatches(), 1);
    EXPECT_EQ(system.sleepCalls(), 0);

    // Before 46 ms: a 4 ms pause and nothing else.
    system.advanceTicks(45);
    editor->doIdleStuff();
    EXPECT_EQ(editor->idles, 1);
    EXPECT_EQ(system.sleepCalls(), 1);
    EXPECT_EQ(system.sleptMilliseconds(), 4u);

    // From 46 ms: the pause, then a pass.
    system.advanceTicks(1); // 46 ms after the pass
    editor->doIdleStuff();
    EXPECT_EQ(editor->idles, 2);
    EXPECT_EQ(system.sleepCalls(), 2);
    EXPECT_EQ(count(audioMasterIdle), 2u);

    // That pass counts from 50 ms (46 + the pause); 100 ms after it there is a pass at once ...
    system.advanceTicks(104);
    editor->doIdleStuff();
    EXPECT_EQ(editor->idles, 3);
    EXPECT_EQ(system.sleepCalls(), 2);
    // ... and 99 ms after that one, a pause and a pass.
    system.advanceTicks(99);
    editor->doIdleStuff();
    EXPECT_EQ(editor->idles, 4);
    EXPECT_EQ(system.sleepCalls(), 3);
}

class GuiEditorNearWrap : public GuiEditor {
  protected:
    void SetUp() override {
        startTicks = 0xFFFFFF8Cu;
        GuiEditor::SetUp();
    }
};

TEST_F(GuiEditorNearWrap, IdlePacingSurvivesTheClockWrappingAround) {
    editor->doIdleStuff(); // the next pass is due at 0xFFFFFFF0
    EXPECT_EQ(editor->idles, 1);
    system.advanceTicks(0x84); // 0x10, after the counter wrapped: well past the due time
    editor->doIdleStuff();
    EXPECT_EQ(editor->idles, 2);
    EXPECT_EQ(system.sleepCalls(), 0);
    system.advanceTicks(10); // due again at 0x74
    editor->doIdleStuff();
    EXPECT_EQ(editor->idles, 2);
    EXPECT_EQ(system.sleepCalls(), 1);
}

TEST_F(GuiEditor, IdlePassAfterWeeksWithoutADrag) {
    editor->doIdleStuff();
    EXPECT_EQ(editor->idles, 1);
    // About 28 days later (more than half the counter's period), the pass is long overdue.
    system.advanceTicks(0x90000000u);
    editor->doIdleStuff();
    EXPECT_EQ(editor->idles, 2);
    EXPECT_EQ(system.sleepCalls(), 0);
}

TEST_F(GuiEditor, HostIdleInsideTheEditorsIdleDoesNotRedrawAgain) {
    dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x42));
    editor->getFrame()->handlePaint(nullptr, CRect(0, 0, 454, 302));
    const int32_t draws = editor->view->draws;
    onHostIdle = [&] {
        editor->view->setDirty(true);
        dispatch(effEditIdle);
    };
    editor->doIdleStuff();
    EXPECT_EQ(editor->view->draws, draws); // the frame idle inside the host idle was skipped
    onHostIdle = nullptr;
    dispatch(effEditIdle);
    EXPECT_EQ(editor->view->draws, draws + 1);
}

TEST_F(GuiEditor, WheelThroughTheEditor) {
    EXPECT_FALSE(editor->onWheel(1.0f));
    dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x42));
    auto* knob = new CKnob(CRect(100, 100, 200, 200), nullptr, 0, nullptr, nullptr, CPoint());
    editor->getFrame()->addView(knob);
    system.setPointer(CPoint(150, 150));
    EXPECT_TRUE(editor->onWheel(1.0f));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.1f);
    system.setPointer(CPoint(400, 20));
    EXPECT_FALSE(editor->onWheel(1.0f));
}

TEST_F(GuiEditor, FrameResizeAsksTheHostFirst) {
    dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x42));
    CFrame* frame = editor->getFrame();
    sizeWindowAnswer = 1;
    EXPECT_TRUE(frame->setSize(300, 200));
    EXPECT_EQ(count(audioMasterSizeWindow), 1u);
    CRect r;
    frame->getViewSize(r);
    EXPECT_EQ(r, CRect(0, 0, 300, 200));
    sizeWindowAnswer = 0;
    EXPECT_TRUE(frame->setSize(320, 210));
    EXPECT_EQ(count(audioMasterSizeWindow), 1u); // the host cannot: the frame resizes itself
    frame->getViewSize(r);
    EXPECT_EQ(r, CRect(0, 0, 320, 210));
}

TEST_F(GuiEditor, ThreadSetUpIsBalanced) {
    EXPECT_EQ(system.threadInitDepth(), 1);
    dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x42));
    EXPECT_EQ(system.threadInitDepth(), 2);
    dispatch(effEditClose);
    EXPECT_EQ(system.threadInitDepth(), 1);
    // Deleting the editor while open closes its frame.
    dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x42));
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(system.threadInitDepth(), 0);
    EXPECT_EQ(system.openWindowCount(), 0);
    makePlugin();
}
