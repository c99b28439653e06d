// An editor that owns a widget frame while it is open: it hands the frame the host's idle calls,
// keys, wheel and knob mode, forwards the controls' edit gestures to the plug-in, and paces the
// idle work a control may ask for from inside a call of its own (the knobs ask for none: their
// drags move on with the frame's idle).
#pragma once

#include "editor/AEffEditor.h"

#include <cstdint>

class AudioEffectX;

namespace VSTGUI {
class CFrame;
}

class AEffGUIEditor : public AEffEditor {
  public:
    // Registers itself as the effect's editor.
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    bool getRect(ERect** rect) override;
    void idle() override;
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(float distance) override;
    bool setKnobMode(int32_t mode) override;

    // A parameter of the plug-in changed (from any source); nothing here.
    virtual void setParameter(int32_t index, float value);
    virtual void beginEdit(int32_t index);
    virtual void endEdit(int32_t index);
    // Called over and over by a control that works inside one call: at most one full pass
    // (frame idle, one paint message, host idle) every 100 ms, with 4 ms pauses in between.
    virtual void doIdleStuff();

    VSTGUI::CFrame* getFrame() const { return frame; }
    // Asks the host to give the editor width x height ("sizeWindow"); false when the host
    // cannot or will not, and the frame then resizes the windows itself.
    bool resizeByHost(int32_t width, int32_t height);

  protected:
    ERect rect{};
    uint32_t lastTicks = 0;
    bool inIdle = false;
    VSTGUI::CFrame* frame = nullptr;

  private:
    AudioEffectX* effectX() const;
};
