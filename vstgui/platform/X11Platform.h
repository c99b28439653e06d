#pragma once

#include "vstgui/platform/NullPlatform.h"

#include <memory>

namespace VSTGUI::platform {

// The platform on an X11 display. One private connection serves every frame window of the
// process: it opens with the first frame window and closes with the last. A frame window is a
// child of the host's window at (0, 0) that selects only exposure, button presses and structure
// changes; processEvents routes the queued events to the frames, merges the exposed areas of each
// window and paints them once. X errors of the connection are caught, the host's error handler is
// put back after every call, and a window the host destroyed is never sent anything again.
// Clock and pause are the null platform's.
class X11Platform : public NullPlatform {
  public:
    X11Platform();
    ~X11Platform() override;

    // Whether the display connection is open (while a frame window exists).
    bool isOpen() const;

    // WindowServices
    cairo_surface_t* acquireWindowSurface(WindowHandle window) override;
    void releaseWindowSurface(WindowHandle window, cairo_surface_t* surface) override;
    CPoint windowScreenOrigin(WindowHandle window) override;
    CPoint pointerScreenPosition() override;
    int32_t buttonState() override;

    // Platform
    void processEvents() override;
    void dispatchPendingPaint() override;
    WindowHandle createFrameWindow(CFrame* frame, WindowHandle parent, int32_t width,
                                   int32_t height) override;
    void destroyFrameWindow(WindowHandle window) override;
    bool windowExists(WindowHandle window) override;
    void resizeWindow(WindowHandle window, int32_t width, int32_t height) override;
    void resizeHostWindows(WindowHandle window, int32_t width, int32_t height) override;
    bool outerWindowPosition(WindowHandle window, int32_t& x, int32_t& y) override;
    bool hostWindowRect(WindowHandle window, CRect& rect) override;
    CursorHandle currentCursor() override;
    CursorHandle standardCursor(int32_t type) override;
    void setCursor(CursorHandle cursor) override;

  private:
    struct Connection;
    std::unique_ptr<Connection> connection;
};

} // namespace VSTGUI::platform
