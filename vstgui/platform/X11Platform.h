#pragma once

#include "vstgui/platform/NullPlatform.h"

namespace VSTGUI::platform {

// The platform on an X11 display. It keeps nothing of its own: each frame window is an
// X11Window, which opens a display connection for that window alone, and the window handles it
// gives out are those objects. A host's windows are only ever named as parents. Clock and pause
// are the null platform's.
class X11Platform : public NullPlatform {
  public:
    // WindowServices
    cairo_surface_t* acquireWindowSurface(WindowHandle window) override;
    void releaseWindowSurface(WindowHandle window, cairo_surface_t* surface) override;
    CPoint windowScreenOrigin(WindowHandle window) override;
    CPoint pointerScreenPosition(WindowHandle window) override;
    int32_t buttonState(WindowHandle window) override;

    // Platform
    void processEvents(WindowHandle window) override;
    void dispatchPendingPaint(WindowHandle window) override;
    WindowHandle createFrameWindow(CFrame* frame, WindowHandle parent, int32_t width,
                                   int32_t height) override;
    void destroyFrameWindow(WindowHandle window) override;
    bool windowExists(WindowHandle window) override;
    uintptr_t systemWindowId(WindowHandle window) override;
    void resizeWindow(WindowHandle window, int32_t width, int32_t height) override;
    void resizeHostWindows(WindowHandle window, int32_t width, int32_t height) override;
    bool outerWindowPosition(WindowHandle window, int32_t& x, int32_t& y) override;
    bool hostWindowRect(WindowHandle window, CRect& rect) override;
    CursorHandle currentCursor(WindowHandle window) override;
    CursorHandle standardCursor(WindowHandle window, int32_t type) override;
    void setCursor(WindowHandle window, CursorHandle cursor) override;
};

} // namespace VSTGUI::platform
