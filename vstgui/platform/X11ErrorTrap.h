#pragma once

#include <X11/Xlib.h>

namespace VSTGUI::platform {

// Catches the X errors of one display connection for as long as it lives. Xlib's default
// handler ends the process, and the process belongs to the host, so every call on our own
// connection runs inside a trap. The handler in place before the outermost trap (the host's, or
// Xlib's default) is put back as soon as that trap ends, and errors of any other connection that
// arrive meanwhile are handed to it.
class X11ErrorTrap {
  public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits until the server has handled every request sent so far; true when none of the
    // requests sent while this trap lived failed.
    bool sync();
    // True when no error of the connection arrived while this trap lived.
    bool clean() const;

    // Traps entered without an object (for a window surface that lives between two calls).
    static void enter(Display* display);
    static void leave();

  private:
    Display* display;
    unsigned long errorsAtStart;
};

} // namespace VSTGUI::platform
