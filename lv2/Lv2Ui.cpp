// The UI binary's entry point: the panel (VrpEditor) embedded in the host's window through
// ui:parent, or shown in a window of its own through the show interface when the host gives no
// parent; driven by the host's idle calls, its changes written to the host's ports.
#include "editor/VrpEditor.h"
#include "lv2/Lv2PanelPlugin.h"
#include "lv2/Lv2Ports.h"
#include "vstgui/CFrame.h"
#include "vstgui/platform/Platform.h"

#include <lv2/core/lv2.h>
#include <lv2/core/lv2_util.h>
#include <lv2/log/log.h>
#include <lv2/log/logger.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

using vorpane::lv2::Lv2PanelPlugin;

struct Lv2Ui {
    Lv2PanelPlugin plugin;
    VrpEditor* editor; // owned by plugin
    bool embedded = false;
    Lv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch)
        : plugin(write, controller, touch), editor(new VrpEditor(&plugin)) {}
    bool shown() const {
        const VSTGUI::CFrame* frame = editor->getFrame();
        return frame && frame->isOpen();
    }
};

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, vorpane::lv2::kPluginUri) != 0) return nullptr;
    // Without a parent the panel waits for the host's show call.
    void* parent = nullptr;
    const LV2UI_Touch* touch = nullptr;
    const LV2UI_Resize* resize = nullptr;
    LV2_Log_Log* log = nullptr;
    LV2_URID_Map* map = nullptr;
    lv2_features_query(features, LV2_UI__parent, &parent, false, LV2_UI__touch, &touch, false,
                       LV2_UI__resize, &resize, false, LV2_LOG__log, &log, false, LV2_URID__map,
                       &map, false, nullptr);
    LV2_Log_Logger logger;
    lv2_log_logger_init(&logger, map, log);
    // Nothing may escape into the host: a UI that cannot be made is answered with none, and
    // the host's log (or, without one, the standard error stream) says why.
    try {
        auto ui = std::make_unique<Lv2Ui>(write, controller, touch);
        if (widget) *widget = nullptr;
        if (!parent) return ui.release();
        ui->embedded = true;
        if (!ui->editor->open(parent)) {
            lv2_log_error(&logger, "Vorpane: the panel could not open in the host's window\n");
            return nullptr;
        }
        ERect* rect = nullptr;
        ui->editor->getRect(&rect);
        if (resize && rect)
            resize->ui_resize(resize->handle, rect->right - rect->left, rect->bottom - rect->top);
        if (widget) {
            const uintptr_t id = VSTGUI::platform::platform().systemWindowId(
                ui->editor->getFrame()->getPlatformWindow());
            *widget = reinterpret_cast<LV2UI_Widget>(id);
        }
        return ui.release();
    } catch (...) {
        lv2_log_error(&logger, "Vorpane: the panel could not be made\n");
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) {
    auto* ui = static_cast<Lv2Ui*>(handle);
    ui->editor->close();
    delete ui;
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
    if (format != 0 || size != sizeof(float) || !buffer) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    static_cast<Lv2Ui*>(handle)->plugin.portEvent(port, value);
}

// Non-zero while the panel is not shown: the host destroyed the window it lived in, its own
// window was hidden or the window manager closed it.
int idle(LV2UI_Handle handle) {
    auto* ui = static_cast<Lv2Ui*>(handle);
    ui->editor->idle();
    return ui->shown() ? 0 : 1;
}

// Opens the panel's own window, again after a close; an embedded panel stays where it is.
int show(LV2UI_Handle handle) {
    auto* ui = static_cast<Lv2Ui*>(handle);
    if (ui->embedded || ui->shown()) return 0;
    try {
        return ui->editor->openTopLevel() ? 0 : 1;
    } catch (...) {
        return 1;
    }
}

int hide(LV2UI_Handle handle) {
    auto* ui = static_cast<Lv2Ui*>(handle);
    if (!ui->embedded) ui->editor->close();
    return 0;
}

const LV2UI_Idle_Interface idleInterface = {idle};
const LV2UI_Show_Interface showInterface = {show, hide};

const void* extensionData(const char* uri) {
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idleInterface;
    if (uri && std::strcmp(uri, LV2_UI__showInterface) == 0) return &showInterface;
    return nullptr;
}

const LV2UI_Descriptor descriptor = {
    vorpane::lv2::kUiUri, instantiate, cleanup, portEvent, extensionData,
};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
