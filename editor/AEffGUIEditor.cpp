#include "editor/AEffGUIEditor.h"

#include "plugin/AudioEffectX.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"
#include "vstgui/platform/Platform.h"

namespace {

constexpr uint32_t kIdleInterval = 100; // ms between full passes
constexpr uint32_t kIdleSlack = 50;     // a pass may come this much early after a pause
constexpr uint32_t kIdlePause = 4;      // ms

// How far the next full pass still lies ahead of now on the wrapping millisecond counter; 0
// when it is due. A pass is never scheduled more than kIdleInterval ahead, so a larger distance
// means the due time has long passed (the counter wrapped, or no pass ran for weeks).
uint32_t timeUntil(uint32_t due, uint32_t now) {
    const uint32_t ahead = due - now;
    return ahead <= kIdleInterval ? ahead : 0;
}

} // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {
    lastTicks = VSTGUI::platform::platform().tickCount();
    if (effect) effect->setEditor(this);
    VSTGUI::platform::platform().threadInit();
}

AEffGUIEditor::~AEffGUIEditor() {
    // A frame still open belongs to this editor and points back at it.
    delete frame;
    frame = nullptr;
    VSTGUI::platform::platform().threadUninit();
}

AudioEffectX* AEffGUIEditor::effectX() const {
    return dynamic_cast<AudioEffectX*>(effect);
}

bool AEffGUIEditor::getRect(ERect** rectOut) {
    // A host that passes no place for the answer gets none.
    if (!rectOut) return false;
    *rectOut = &rect;
    return true;
}

void AEffGUIEditor::idle() {
    if (inIdle || !frame) return;
    // Window events first: a paint or a click may change what the frame's idle redraws. An
    // event may also close the editor (the host's window gone), so the frame is looked at again.
    VSTGUI::platform::platform().processEvents(frame->getPlatformWindow());
    if (frame) frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
    return frame && frame->onKeyDown(keyCode) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
    return frame && frame->onKeyUp(keyCode) == 1;
}

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame) return false;
    // The frame's window sits at (0, 0) of the host's, so positions in it are the same; the
    // platform is only ever asked about windows of its own.
    auto* context = new VSTGUI::CDrawContext(frame, nullptr, frame->getPlatformWindow());
    VSTGUI::CPoint where;
    context->getMouseLocation(where);
    const bool result = frame->onWheel(context, where, distance);
    context->forget();
    return result;
}

bool AEffGUIEditor::setKnobMode(int32_t mode) {
    VSTGUI::CFrame::setGlobalKnobMode(mode);
    return true;
}

void AEffGUIEditor::setParameter(int32_t, float) {}

bool AEffGUIEditor::resizeByHost(int32_t width, int32_t height) {
    AudioEffectX* x = effectX();
    char sizeWindow[] = "sizeWindow";
    return x && x->canHostDo(sizeWindow) && x->sizeWindow(width, height);
}

void AEffGUIEditor::beginEdit(int32_t index) {
    if (AudioEffectX* x = effectX()) x->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
    if (AudioEffectX* x = effectX()) x->endEdit(index);
}

void AEffGUIEditor::doIdleStuff() {
    VSTGUI::platform::Platform& system = VSTGUI::platform::platform();
    uint32_t now = system.tickCount();
    if (const uint32_t ahead = timeUntil(lastTicks, now); ahead > 0) {
        system.sleep(kIdlePause);
        now += kIdlePause;
        if (ahead > kIdleSlack + kIdlePause) return;
    }
    idle();
    system.dispatchPendingPaint(frame ? frame->getPlatformWindow() : nullptr);
    lastTicks = now + kIdleInterval;
    inIdle = true;
    if (effect) effect->masterIdle();
    inIdle = false;
}
