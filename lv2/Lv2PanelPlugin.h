// The panel's plug-in inside an LV2 UI: it stands where the VST plug-in stands for VrpEditor, so
// the one editor serves both formats. It keeps the two normalised direction values the panel
// shows, takes the host's port values (angles in degrees) and sends the panel's changes to the
// host as port writes, inside touch gestures when the host offers them.
#pragma once

#include "plugin/AudioEffectX.h"

#include <lv2/ui/ui.h>

#include <cstdint>

namespace vorpane::lv2 {

class Lv2PanelPlugin : public AudioEffectX {
  public:
    // touch may be null (the host records no gestures).
    Lv2PanelPlugin(LV2UI_Write_Function write, LV2UI_Controller controller,
                   const LV2UI_Touch* touch);

    // A control port's value from the host; ports other than the two directions are ignored.
    void portEvent(uint32_t port, float angle);

    void processReplacing(float**, float**, int32_t) override {}
    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    // The panel's own change: shown, then written to the host's port in degrees.
    void setParameterAutomated(int32_t index, float value) override;
    bool beginEdit(int32_t index) override;
    bool endEdit(int32_t index) override;

  private:
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touch;
    float values[2] = {0.5f, 0.5f};
    // The angle last written to each direction port: the host echoes it back, and the panel
    // keeps its own value rather than the echo's.
    float written[2];
};

} // namespace vorpane::lv2
