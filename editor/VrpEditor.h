// The plug-in's panel: the background image, one film-strip knob and one degree readout per
// parameter, bound to the parameters in both directions.
#pragma once

#include "editor/AEffGUIEditor.h"
#include "vstgui/CControlListener.h"

#include <atomic>
#include <cstdint>

class AudioEffectX;

namespace VSTGUI {
class CAnimKnob;
class CBitmap;
class CParamDisplay;
} // namespace VSTGUI

// Degree texts of the readouts ("-90\xB0" ... "90\xB0", "-45\xB0" ... "225\xB0", Windows-1252).
void azimuthToText(float value, char* text);
void elevationToText(float value, char* text);

class VrpEditor : public AEffGUIEditor, public VSTGUI::CControlListener {
  public:
    explicit VrpEditor(AudioEffectX* plugin);
    // An editor deleted while open closes its frame first.
    ~VrpEditor() override;

    // Opens the panel in the host's window; an open panel is closed first. False, with nothing
    // changed, for a null window or when no window can be made there (no display).
    bool open(void* window) override;
    // Opens the panel in a top-level window of its own, for hosts that give it no window; an
    // open panel is closed first. False when no window can be made (no display).
    bool openTopLevel();
    void close() override;
    // Applies the parameter changes recorded since the last call, then the host's idle work.
    void idle() override;
    void doIdleStuff() override;
    // Any thread: records that the parameter changed, without locking or allocating. The
    // controls are set from the plug-in's value on the editor's thread at the start of the next
    // idle, or at once by valueChanged when the change comes from the panel itself.
    void setParameter(int32_t index, float value) override;

    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;

  private:
    // The panel in window, or in a top-level window of its own for a null window.
    bool openFrame(void* window);
    void applyParameter(int32_t index);
    void applyRecordedChanges();

    AudioEffectX* plugin = nullptr;
    VSTGUI::CAnimKnob* azimuthKnob = nullptr;
    VSTGUI::CAnimKnob* elevationKnob = nullptr;
    VSTGUI::CParamDisplay* azimuthDisplay = nullptr;
    VSTGUI::CParamDisplay* elevationDisplay = nullptr;
    VSTGUI::CBitmap* background = nullptr;
    // One bit per parameter changed and not yet shown.
    std::atomic<uint32_t> changed{0};
    static_assert(std::atomic<uint32_t>::is_always_lock_free);
};
