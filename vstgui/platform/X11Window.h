#pragma once

#include "vstgui/CRect.h"

#include <X11/Xlib.h>
#include <cairo.h>

#include <cstdint>
#include <map>

namespace VSTGUI {
class CFrame;
}

namespace VSTGUI::platform {

// One frame window with the display connection that serves it and nothing else: the window, a
// child of the host's window at (0, 0) selecting exposure, button presses and structure changes
// (or, without a host window, a top-level window of a fixed size that the window manager closes
// by asking); the area exposed since the last paint; the cursors made on the connection. Every
// request runs inside an error trap of the connection, and nothing is sent to the window once
// the host has destroyed it. Closing it closes the connection, so nothing of it outlives its
// frame.
class X11Window {
  public:
    // Connects to the display and makes the window inside parent, or a top-level window when
    // parent is 0; null when either fails.
    static X11Window* create(CFrame* frame, ::Window parent, int32_t width, int32_t height);

    // Destroys the window and closes the connection without telling the frame; when called from
    // inside the window's own event handling, or while a surface is out, the connection closes
    // as soon as that ends. The object must not be used afterwards.
    void close();

    // Handles every queued event without waiting: input goes to the frame at once, the exposed
    // areas are merged and painted once. Nothing when called from inside an event it handles.
    void processEvents();
    // Handles the queued exposures only, and paints them.
    void dispatchPendingPaint();
    // False once the window is gone; a destruction still in the queue is taken into account.
    bool exists();
    ::Window systemId() const { return id; }

    cairo_surface_t* acquireSurface();
    void releaseSurface(cairo_surface_t* surface);
    CPoint screenOrigin();
    // Pointer position on the screen and the server's button and modifier mask.
    CPoint pointer(unsigned int& mask);

    void resize(int32_t width, int32_t height);
    void resizeHostWindows(int32_t width, int32_t height);
    bool outerWindowPosition(int32_t& x, int32_t& y);
    bool hostWindowRect(CRect& rect);

    Cursor shownCursor() const { return shown; }
    // The standard cursor for a cursor type of CFrame::setCursor; None for types without one.
    Cursor standardCursor(int32_t type);
    void showCursor(Cursor cursor);

  private:
    X11Window() = default;
    ~X11Window() = default;

    // The union of the rectangles exposed since the last paint.
    struct ExposedArea {
        bool any = false;
        int32_t left = 0, top = 0, right = 0, bottom = 0;
        void add(int32_t x, int32_t y, int32_t width, int32_t height);
    };

    void handle(const XEvent& event);
    void noteDestroyed();
    // Names the top-level window, fixes its size and asks the window manager to close it with a
    // message rather than by ending the connection.
    void describeTopLevel();
    bool isCloseRequest(const XEvent& event) const;
    // The window manager asked to close the top-level window: it goes as if the host had
    // destroyed it.
    void closeRequested();
    void paint();
    bool parentOf(::Window w, ::Window& parent);
    bool geometry(::Window w, XWindowAttributes& attributes);
    // Ends a close that had to wait; true when the object is gone.
    bool finishClosing();

    CFrame* frame = nullptr;
    Display* display = nullptr;
    ::Window id = 0;
    ::Window root = 0;
    Visual* visual = nullptr;
    bool topLevel = false;
    Atom protocolsAtom = None;
    Atom deleteWindowAtom = None;
    int32_t width = 0;
    int32_t height = 0;
    bool dead = false;    // destroyed by the host; nothing may be sent to it
    bool closing = false; // closed by the frame; the connection goes when nothing uses it
    int32_t busy = 0;     // depth of event handling
    int32_t surfaces = 0; // surfaces handed out and not given back
    ExposedArea exposed;
    std::map<int32_t, Cursor> cursors;
    Cursor shown = None;
};

} // namespace VSTGUI::platform
