#include "vstgui/platform/X11ErrorTrap.h"

#include <X11/Xlibint.h>

namespace VSTGUI::platform {

// What a watched connection knows about its errors, kept in the connection's own extension data
// and freed by XCloseDisplay.
struct X11ErrorWatch {
    X11ErrorTrap* innermost = nullptr;
    X11ErrorTrap::Fallback fallback = nullptr;

    // An arbitrary tag that finds the record among the connection's extension data.
    static constexpr int kTag = 0x56726554;

    static X11ErrorWatch* of(Display* display) {
        XEDataObject object;
        object.display = display;
        XExtData* data = XFindOnExtensionList(XEHeadOfExtensionList(object), kTag);
        return data ? reinterpret_cast<X11ErrorWatch*>(data->private_data) : nullptr;
    }

    static int release(XExtData* data) {
        delete reinterpret_cast<X11ErrorWatch*>(data->private_data);
        data->private_data = nullptr;
        return 0;
    }

    // Every error of the connection passes here instead of the process's handler.
    static Bool charge(Display* display, XErrorEvent* error, xError*) {
        X11ErrorWatch* watch = of(display);
        if (!watch) return True;
        bool charged = false;
        for (X11ErrorTrap* trap = watch->innermost; trap; trap = trap->outer) {
            if (error->serial < trap->firstRequest) continue;
            ++trap->errors;
            charged = true;
        }
        if (!charged && watch->fallback) watch->fallback(display, *error);
        return False; // handled: Xlib reports it nowhere else
    }
};

void X11ErrorTrap::watch(Display* display, Fallback fallback) {
    if (!display) return;
    if (X11ErrorWatch* watch = X11ErrorWatch::of(display)) {
        if (fallback) watch->fallback = fallback;
        return;
    }
    auto* data = static_cast<XExtData*>(Xcalloc(1, sizeof(XExtData)));
    if (!data) return;
    data->number = X11ErrorWatch::kTag;
    data->free_private = &X11ErrorWatch::release;
    data->private_data = reinterpret_cast<XPointer>(new X11ErrorWatch{nullptr, fallback});
    XEDataObject object;
    object.display = display;
    XAddToExtensionList(XEHeadOfExtensionList(object), data);
    // Error codes are one byte: every one of them, core and extension alike.
    for (int code = 0; code < 256; ++code)
        XESetWireToError(display, code, &X11ErrorWatch::charge);
}

X11ErrorTrap::X11ErrorTrap(Display* display)
    : display(display), firstRequest(display ? NextRequest(display) : 0) {
    if (!display) return;
    X11ErrorWatch* watch = X11ErrorWatch::of(display);
    if (!watch) {
        X11ErrorTrap::watch(display);
        watch = X11ErrorWatch::of(display);
    }
    if (!watch) return;
    outer = watch->innermost;
    watch->innermost = this;
}

X11ErrorTrap::~X11ErrorTrap() {
    if (!display) return;
    X11ErrorWatch* watch = X11ErrorWatch::of(display);
    if (watch && watch->innermost == this) watch->innermost = outer;
}

bool X11ErrorTrap::sync() {
    if (display) XSync(display, False);
    return clean();
}

} // namespace VSTGUI::platform
