// A stand-in effect with an editor, for the editor host's tests: at open it creates a window in
// the host's window on a display connection of its own and asks the host to grow the window to
// 240 x 120; it paints its left half in a red that follows parameter 0 and its right half in
// yellow; each button press is reported as one edit gesture that sets parameter 0 to 0.75.
#include "tests/tools/FakeEffect.h"

#include <X11/Xlib.h>

namespace {

constexpr int kWidth = 200, kHeight = 100;           // the size the editor reports
constexpr int kGrownWidth = 240, kGrownHeight = 120; // the size it asks for once open

struct FakeEditor : fake::FakeEffect {
    audioMasterCallback host = nullptr;
    ERect rect{0, 0, kHeight, kWidth};
    Display* display = nullptr;
    Window window = 0;
    int width = kWidth, height = kHeight;
};

FakeEditor* fakeOf(AEffect* effect) {
    return fake::objectOf<FakeEditor>(effect);
}

intptr_t callHost(FakeEditor* fake, int32_t opcode, int32_t index = 0, intptr_t value = 0,
                  void* ptr = nullptr, float opt = 0.0f) {
    return fake->host(&fake->effect, opcode, index, value, ptr, opt);
}

void paint(FakeEditor* fake) {
    const int red = static_cast<int>(fake->parameters[0] * 255.0f);
    GC gc = XCreateGC(fake->display, fake->window, 0, nullptr);
    XSetForeground(fake->display, gc, static_cast<unsigned long>(red) << 16 | 0x40);
    XFillRectangle(fake->display, fake->window, gc, 0, 0, fake->width / 2, fake->height);
    XSetForeground(fake->display, gc, 0xFFFF00);
    XFillRectangle(fake->display, fake->window, gc, fake->width / 2, 0, fake->width, fake->height);
    XFreeGC(fake->display, gc);
}

bool open(FakeEditor* fake, Window parent) {
    fake->display = XOpenDisplay(nullptr);
    if (!fake->display) return false;
    fake->width = kWidth;
    fake->height = kHeight;
    char sizeWindow[] = "sizeWindow";
    if (callHost(fake, audioMasterCanDo, 0, 0, sizeWindow) == 1 &&
        callHost(fake, audioMasterSizeWindow, kGrownWidth, kGrownHeight) == 1) {
        fake->width = kGrownWidth;
        fake->height = kGrownHeight;
    }
    fake->window =
        XCreateSimpleWindow(fake->display, parent, 0, 0, fake->width, fake->height, 0, 0, 0);
    XSelectInput(fake->display, fake->window, ExposureMask | ButtonPressMask);
    XMapWindow(fake->display, fake->window);
    XFlush(fake->display);
    return true;
}

void close(FakeEditor* fake) {
    if (!fake->display) return;
    XDestroyWindow(fake->display, fake->window);
    XCloseDisplay(fake->display);
    fake->display = nullptr;
}

void idle(FakeEditor* fake) {
    if (!fake->display) return;
    bool exposed = false;
    while (XPending(fake->display) > 0) {
        XEvent event;
        XNextEvent(fake->display, &event);
        if (event.type == Expose) exposed = true;
        if (event.type == ButtonPress) {
            callHost(fake, audioMasterBeginEdit, 0);
            fake->parameters[0] = 0.75f;
            callHost(fake, audioMasterAutomate, 0, 0, nullptr, 0.75f);
            callHost(fake, audioMasterEndEdit, 0);
            exposed = true;
        }
    }
    if (exposed) paint(fake);
    XFlush(fake->display);
}

intptr_t dispatcher(AEffect* effect, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    FakeEditor* fake = fakeOf(effect);
    switch (opcode) {
    case effClose:
        close(fake);
        delete fake;
        return 1;
    case effEditGetRect:
        *static_cast<ERect**>(ptr) = &fake->rect;
        return 1;
    case effEditOpen:
        return ptr && open(fake, reinterpret_cast<Window>(ptr)) ? 1 : 0;
    case effEditClose:
        close(fake);
        return 0;
    case effEditIdle:
        idle(fake);
        return 0;
    default:
        return 0;
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    auto* fake = new FakeEditor();
    fake->host = host;
    return fake::initRecord(fake, &dispatcher, effFlagsHasEditor);
}
