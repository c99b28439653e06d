#include "editor/VrpEditor.h"

#include "engine/DirectionAngles.h"
#include "plugin/AudioEffectX.h"
#include "vstgui/CAnimKnob.h"
#include "vstgui/CBitmap.h"
#include "vstgui/CFrame.h"
#include "vstgui/CParamDisplay.h"

#include <cstdio>

namespace {

constexpr int32_t kAzimuth = 0;
constexpr int32_t kElevation = 1;
constexpr int32_t kBackgroundId = 1;
constexpr int32_t kAzimuthStripId = 10;
constexpr int32_t kElevationStripId = 100;
constexpr int32_t kStripImages = 50;
constexpr int32_t kKnobTop = 135;
constexpr int32_t kAzimuthKnobLeft = 20;
constexpr int32_t kElevationKnobLeft = 260;
constexpr int32_t kDisplayFont = 2;
constexpr int32_t kDisplayStyle = 1;
const VSTGUI::CRect kAzimuthDisplay(120, 115, 160, 133);

void degreesToText(double degrees, char* text) {
    std::snprintf(text, 8, "%2d\xB0", static_cast<int>(degrees));
}

VSTGUI::CAnimKnob* makeKnob(int32_t left, int32_t tag, VSTGUI::CBitmap* strip,
                            VSTGUI::CControlListener* listener) {
    const int32_t imageHeight = strip->getHeight() / kStripImages;
    const VSTGUI::CRect size(left, kKnobTop, left + strip->getWidth(), kKnobTop + imageHeight);
    return new VSTGUI::CAnimKnob(size, listener, tag, kStripImages, imageHeight, strip,
                                 VSTGUI::CPoint(0, 0));
}

VSTGUI::CParamDisplay* makeDisplay(const VSTGUI::CRect& size, VSTGUI::CBitmap* background,
                                   VSTGUI::CParamDisplay::StringConvert convert) {
    auto* display = new VSTGUI::CParamDisplay(size, background, 0);
    display->setFont(kDisplayFont);
    display->setStyle(kDisplayStyle);
    display->setFontColor(VSTGUI::kBlackCColor);
    display->setStringConvert(convert);
    return display;
}

} // namespace

void azimuthToText(float value, char* text) {
    degreesToText(vorpane::kAzimuthDegrees.degrees(value), text);
}

void elevationToText(float value, char* text) {
    degreesToText(vorpane::kElevationDegrees.degrees(value), text);
}

VrpEditor::VrpEditor(AudioEffectX* plugin)
    : AEffGUIEditor(plugin), plugin(plugin), background(new VSTGUI::CBitmap(kBackgroundId)) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<int16_t>(background->getHeight());
    rect.right = static_cast<int16_t>(background->getWidth());
}

VrpEditor::~VrpEditor() {
    close();
    if (background) background->forget();
    background = nullptr;
}

bool VrpEditor::open(void* window) {
    return window && openFrame(window);
}

bool VrpEditor::openTopLevel() {
    return openFrame(nullptr);
}

bool VrpEditor::openFrame(void* window) {
    if (frame) close();

    const VSTGUI::CRect size(0, 0, background->getWidth(), background->getHeight());
    auto* newFrame = new VSTGUI::CFrame(size, window, this, window == nullptr);
    if (!newFrame->getPlatformWindow()) {
        // No display, or the host's window is not usable: the editor stays closed.
        delete newFrame;
        return false;
    }
    systemWindow = window;
    newFrame->setBackground(background);

    auto* azimuthStrip = new VSTGUI::CBitmap(kAzimuthStripId);
    auto* elevationStrip = new VSTGUI::CBitmap(kElevationStripId);
    changed.store(0);
    azimuthKnob = makeKnob(kAzimuthKnobLeft, kAzimuth, azimuthStrip, this);
    elevationKnob = makeKnob(kElevationKnobLeft, kElevation, elevationStrip, this);
    azimuthDisplay = makeDisplay(kAzimuthDisplay, background, azimuthToText);
    VSTGUI::CRect elevationSize = kAzimuthDisplay;
    elevationDisplay = makeDisplay(elevationSize.offset(250, 3), background, elevationToText);
    for (auto* knob : {azimuthKnob, elevationKnob}) {
        const float value = plugin->getParameter(knob->getTag());
        knob->setValue(value);
        knob->setOldValue(value);
        newFrame->addView(knob);
    }
    azimuthDisplay->setValue(plugin->getParameter(kAzimuth));
    newFrame->addView(azimuthDisplay);
    elevationDisplay->setValue(plugin->getParameter(kElevation));
    newFrame->addView(elevationDisplay);
    azimuthStrip->forget();
    elevationStrip->forget();

    frame = newFrame;
    return true;
}

void VrpEditor::close() {
    VSTGUI::CFrame* closing = frame;
    // The controls go with the frame; the fields are cleared first so that nothing reaches
    // them while the frame is torn down (it ends a gesture still running).
    azimuthKnob = elevationKnob = nullptr;
    azimuthDisplay = elevationDisplay = nullptr;
    frame = nullptr;
    delete closing;
    systemWindow = nullptr;
}

void VrpEditor::idle() {
    applyRecordedChanges();
    AEffGUIEditor::idle();
}

void VrpEditor::doIdleStuff() {
    applyRecordedChanges();
    AEffGUIEditor::doIdleStuff();
}

void VrpEditor::setParameter(int32_t index, float) {
    // Reached from any thread, the host's audio thread included: one atomic operation, nothing
    // else.
    if (index != kAzimuth && index != kElevation) return;
    changed.fetch_or(1u << index, std::memory_order_release);
}

void VrpEditor::applyRecordedChanges() {
    // Cheap when nothing changed: one atomic load.
    if (changed.load(std::memory_order_relaxed) == 0) return;
    const uint32_t bits = changed.exchange(0, std::memory_order_acquire);
    if (bits & (1u << kAzimuth)) applyParameter(kAzimuth);
    if (bits & (1u << kElevation)) applyParameter(kElevation);
}

void VrpEditor::applyParameter(int32_t index) {
    VSTGUI::CAnimKnob* knob = index == kAzimuth ? azimuthKnob : elevationKnob;
    VSTGUI::CParamDisplay* display = index == kAzimuth ? azimuthDisplay : elevationDisplay;
    if (knob) knob->setValue(plugin->getParameter(index));
    if (display) display->setValue(plugin->getParameter(index));
}

void VrpEditor::valueChanged(VSTGUI::CDrawContext*, VSTGUI::CControl* control) {
    const int32_t tag = control->getTag();
    if (tag != kAzimuth && tag != kElevation) return;
    plugin->setParameterAutomated(tag, control->getValue());
    // The change recorded by the plug-in's setter is shown now rather than at the next idle; a
    // change from another thread after this point records itself again.
    changed.fetch_and(~(1u << tag), std::memory_order_acq_rel);
    applyParameter(tag);
    control->setDirty(true);
}
