#include "lv2/Lv2PanelPlugin.h"

#include "editor/AEffGUIEditor.h"
#include "engine/DirectionAngles.h"
#include "lv2/Lv2Ports.h"

#include <algorithm>
#include <limits>

namespace vorpane::lv2 {

namespace {

constexpr int32_t kParameters = 2;

const AngleScale& scaleOf(int32_t index) {
    return index == 0 ? kAzimuthDegrees : kElevationDegrees;
}

uint32_t portOf(int32_t index) {
    return index == 0 ? kAzimuth : kElevation;
}

} // namespace

Lv2PanelPlugin::Lv2PanelPlugin(LV2UI_Write_Function write, LV2UI_Controller controller,
                               const LV2UI_Touch* touch)
    : AudioEffectX(nullptr, 1, kParameters), write(write), controller(controller),
      touch(touch), written{std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::quiet_NaN()} {}

void Lv2PanelPlugin::portEvent(uint32_t port, float angle) {
    const int32_t index = port == kAzimuth ? 0 : port == kElevation ? 1 : -1;
    if (index < 0 || angle == written[index]) return;
    written[index] = std::numeric_limits<float>::quiet_NaN();
    setParameter(index, scaleOf(index).value(angle));
}

void Lv2PanelPlugin::setParameter(int32_t index, float value) {
    if (index < 0 || index >= kParameters) return;
    values[index] = value;
    if (auto* gui = dynamic_cast<AEffGUIEditor*>(editor)) gui->setParameter(index, value);
}

float Lv2PanelPlugin::getParameter(int32_t index) {
    return index >= 0 && index < kParameters ? values[index] : 0.0f;
}

void Lv2PanelPlugin::setParameterAutomated(int32_t index, float value) {
    setParameter(index, value);
    if (index < 0 || index >= kParameters || !write) return;
    const AngleScale& scale = scaleOf(index);
    const float angle =
        std::clamp(static_cast<float>(scale.degrees(value)), scale.lowest, scale.highest);
    written[index] = angle;
    write(controller, portOf(index), sizeof(float), 0, &angle);
}

bool Lv2PanelPlugin::beginEdit(int32_t index) {
    if (index < 0 || index >= kParameters || !touch) return false;
    touch->touch(touch->handle, portOf(index), true);
    return true;
}

bool Lv2PanelPlugin::endEdit(int32_t index) {
    if (index < 0 || index >= kParameters || !touch) return false;
    touch->touch(touch->handle, portOf(index), false);
    return true;
}

} // namespace vorpane::lv2
