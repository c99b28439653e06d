#pragma once

#include "vstgui/CRect.h"
#include "vstgui/platform/WindowServices.h"

#include <cstdint>

namespace VSTGUI {
class CFrame;
}

namespace VSTGUI::platform {

// Opaque handle of a platform cursor.
using CursorHandle = void*;

// Everything the view tree, the frame and the editor need from the windowing system beyond the
// drawing side of WindowServices: the millisecond clock, pausing, the paint messages of the
// thread, the frame's own window inside the host's, cursors and drop registration. Views and
// controls reach the system only through the installed Platform (and the WindowServices it
// extends), so a headless implementation can stand in for the display.
class Platform : public WindowServices {
  public:
    // Milliseconds of a monotonic counter; wraps around after 2^32.
    virtual uint32_t tickCount() = 0;
    // Pauses the calling thread.
    virtual void sleep(uint32_t milliseconds) = 0;

    // Balanced per-thread set-up and tear-down of the windowing services an editor uses. Every
    // frame and every editor calls each once.
    virtual void threadInit() = 0;
    virtual void threadUninit() = 0;

    // Handles every event already queued for a frame window without waiting for more: input
    // goes to its frame at once, the exposed areas are merged and painted once. Does nothing
    // when called again from inside an event it is handling.
    virtual void processEvents(WindowHandle window) = 0;
    // Paints the merged exposed area of a frame window; no other event is handled.
    virtual void dispatchPendingPaint(WindowHandle window) = 0;

    // Creates the frame's child window of width x height at (0, 0) inside parent, or, for a null
    // parent, a top-level window of that fixed size; when the window manager closes that one,
    // the frame learns of it as of a window destroyed by the host. Its paint, button and wheel
    // events are handed to the frame's handle* operations. Null on failure.
    virtual WindowHandle createFrameWindow(CFrame* frame, WindowHandle parent, int32_t width,
                                           int32_t height) = 0;
    // Destroys a window from createFrameWindow without telling its frame. Everything the
    // platform kept for the window goes with it.
    virtual void destroyFrameWindow(WindowHandle window) = 0;
    // False once the window is gone (destroyed by us or by the host).
    virtual bool windowExists(WindowHandle window) = 0;
    // The id by which the windowing system and the host know a frame window (an X11 Window); 0
    // for none.
    virtual uintptr_t systemWindowId(WindowHandle window) {
        (void)window;
        return 0;
    }
    // Resizes a window in place.
    virtual void resizeWindow(WindowHandle window, int32_t width, int32_t height) = 0;
    // Resizes the frame's window and the host windows around it so that the frame gets
    // width x height when the host cannot do it itself.
    virtual void resizeHostWindows(WindowHandle window, int32_t width, int32_t height) = 0;
    // Top-left corner of the editor's outermost window in its parent's coordinates.
    virtual bool outerWindowPosition(WindowHandle window, int32_t& x, int32_t& y) = 0;
    // Rectangle of the host window that holds the frame's window.
    virtual bool hostWindowRect(WindowHandle window, CRect& rect) = 0;

    // Cursors of a frame window: the one shown now, a standard one for a cursor type of
    // CFrame::setCursor (null for types without their own), and showing one.
    virtual CursorHandle currentCursor(WindowHandle window) = 0;
    virtual CursorHandle standardCursor(WindowHandle window, int32_t type) = 0;
    virtual void setCursor(WindowHandle window, CursorHandle cursor) = 0;

    // Accepting dropped data on a window; false when the platform has no drag and drop.
    virtual bool registerDropTarget(WindowHandle window, CFrame* frame) = 0;
    virtual void revokeDropTarget(WindowHandle window) = 0;
};

// The platform in use: the installed one, else the X11 platform, which keeps no state: each frame
// window has a display connection of its own.
Platform& platform();
// Installs a platform (not owned) for everything, windows and drawing services alike; null
// restores the default.
void setPlatform(Platform* platform);

} // namespace VSTGUI::platform
