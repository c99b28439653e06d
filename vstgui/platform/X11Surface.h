#pragma once

#include <X11/Xlib.h>
#include <cairo.h>

namespace VSTGUI::platform {

// Makes cairo's own state for a new connection: it probes the server then (whether shared memory
// attaches, which the server refuses to a client that does not share its IPC namespace, as over
// ssh -X or in a sandbox) and needs the probe's X error to reach the handler it installs for it.
// Call it before the connection's errors are trapped; cairo then draws through shared memory
// only where it works.
void prepareX11Drawing(Display* display);

// A cairo surface drawing on an X window of the given visual and size.
cairo_surface_t* createX11WindowSurface(Display* display, Window window, Visual* visual, int width,
                                        int height);

} // namespace VSTGUI::platform
