#include "vstgui/platform/X11Platform.h"

#include "vstgui/ButtonState.h"
#include "vstgui/platform/X11Window.h"

namespace VSTGUI::platform {

namespace {

X11Window* windowOf(WindowHandle handle) {
    return static_cast<X11Window*>(handle);
}

CursorHandle cursorHandle(Cursor cursor) {
    return reinterpret_cast<CursorHandle>(static_cast<uintptr_t>(cursor));
}

} // namespace

WindowHandle X11Platform::createFrameWindow(CFrame* frame, WindowHandle parent, int32_t width,
                                            int32_t height) {
    const auto parentId = static_cast<::Window>(reinterpret_cast<uintptr_t>(parent));
    return X11Window::create(frame, parentId, width, height);
}

void X11Platform::destroyFrameWindow(WindowHandle window) {
    if (window) windowOf(window)->close();
}

bool X11Platform::windowExists(WindowHandle window) {
    return window && windowOf(window)->exists();
}

uintptr_t X11Platform::systemWindowId(WindowHandle window) {
    return window ? windowOf(window)->systemId() : 0;
}

void X11Platform::processEvents(WindowHandle window) {
    if (window) windowOf(window)->processEvents();
}

void X11Platform::dispatchPendingPaint(WindowHandle window) {
    if (window) windowOf(window)->dispatchPendingPaint();
}

void X11Platform::resizeWindow(WindowHandle window, int32_t width, int32_t height) {
    if (window) windowOf(window)->resize(width, height);
}

void X11Platform::resizeHostWindows(WindowHandle window, int32_t width, int32_t height) {
    if (window) windowOf(window)->resizeHostWindows(width, height);
}

bool X11Platform::outerWindowPosition(WindowHandle window, int32_t& x, int32_t& y) {
    return window && windowOf(window)->outerWindowPosition(x, y);
}

bool X11Platform::hostWindowRect(WindowHandle window, CRect& rect) {
    return window && windowOf(window)->hostWindowRect(rect);
}

cairo_surface_t* X11Platform::acquireWindowSurface(WindowHandle window) {
    // Only the frame's own windows are drawn on, never the host's.
    return window ? windowOf(window)->acquireSurface() : nullptr;
}

void X11Platform::releaseWindowSurface(WindowHandle window, cairo_surface_t* surface) {
    if (window)
        windowOf(window)->releaseSurface(surface);
    else
        WindowServices::releaseWindowSurface(window, surface);
}

CPoint X11Platform::windowScreenOrigin(WindowHandle window) {
    return window ? windowOf(window)->screenOrigin() : CPoint(0, 0);
}

CPoint X11Platform::pointerScreenPosition(WindowHandle window) {
    unsigned int mask = 0;
    return window ? windowOf(window)->pointer(mask) : CPoint(0, 0);
}

int32_t X11Platform::buttonState(WindowHandle window) {
    if (!window) return 0;
    // The server reports physical buttons after its own mapping, so a left-handed mapping is
    // already applied here.
    unsigned int mask = 0;
    windowOf(window)->pointer(mask);
    int32_t buttons = 0;
    if (mask & Button1Mask) buttons |= kLButton;
    if (mask & Button2Mask) buttons |= kMButton;
    if (mask & Button3Mask) buttons |= kRButton;
    if (mask & ShiftMask) buttons |= kShift;
    if (mask & ControlMask) buttons |= kControl;
    if (mask & Mod1Mask) buttons |= kAlt;
    return buttons;
}

CursorHandle X11Platform::currentCursor(WindowHandle window) {
    return window ? cursorHandle(windowOf(window)->shownCursor()) : nullptr;
}

CursorHandle X11Platform::standardCursor(WindowHandle window, int32_t type) {
    return window ? cursorHandle(windowOf(window)->standardCursor(type)) : nullptr;
}

void X11Platform::setCursor(WindowHandle window, CursorHandle cursor) {
    if (window)
        windowOf(window)->showCursor(static_cast<Cursor>(reinterpret_cast<uintptr_t>(cursor)));
}

} // namespace VSTGUI::platform
