#pragma once

#include "vstgui/CPoint.h"

#include <cairo.h>
#include <cstdint>
#include <memory>

namespace VSTGUI::platform {

// Opaque handle of a native window: the host's window as the host passes it (an X11 window id
// stored in a pointer), or a frame window as Platform::createFrameWindow made it.
using WindowHandle = void*;

class DrawSurface;

// What drawing contexts need from the windowing side: the drawing surface of a frame window, its
// position on the screen and the live pointer state. Every window named here is a frame window
// from Platform::createFrameWindow, never one of the host's. The default answers are those of a
// system without a display: no window surface, everything at (0, 0), no buttons held. They are
// always those of the installed Platform, which extends this class.
class WindowServices {
  public:
    virtual ~WindowServices() = default;
    // A surface drawing on the window, with one reference for the caller; null when none.
    virtual cairo_surface_t* acquireWindowSurface(WindowHandle window);
    // Gives back a surface from acquireWindowSurface.
    virtual void releaseWindowSurface(WindowHandle window, cairo_surface_t* surface);
    // The drawing surface of a context that draws on target (a window's surface or an image).
    virtual std::unique_ptr<DrawSurface> createDrawSurface(cairo_surface_t* target);
    // Top-left corner of the window on the screen.
    virtual CPoint windowScreenOrigin(WindowHandle window);
    // Pointer position on the screen, asked through a frame window (null: none).
    virtual CPoint pointerScreenPosition(WindowHandle window);
    // Live button and modifier state as kLButton ... kAlt bits, with swapped mouse buttons
    // already taken into account, asked through a frame window (null: none).
    virtual int32_t buttonState(WindowHandle window);
};

// The services of the platform in use: the same object as platform().
WindowServices& windowServices();

} // namespace VSTGUI::platform
