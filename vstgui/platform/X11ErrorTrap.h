#pragma once

#include <X11/Xlib.h>

namespace VSTGUI::platform {

// Charges the X errors of one display connection to the requests that caused them. The
// connection gets error hooks of its own (Xlib keeps them per connection), so its errors never
// reach the process's error handler: whatever handler the host installed stays installed, and
// nothing is swapped while our requests run or while the host is called. Each error goes to the
// traps that were in effect when the failing request was sent, matched by request serial; an
// error of a request sent outside every trap, or read after its trap ended, goes to the
// connection's fallback (dropped when there is none). A connection and its traps are used by
// one thread at a time.
class X11ErrorTrap {
  public:
    using Fallback = void (*)(Display* display, const XErrorEvent& error);

    // Takes over the error reporting of a connection; done by the first trap on it if not
    // before. Lasts until XCloseDisplay.
    static void watch(Display* display, Fallback fallback = nullptr);

    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits until the server has handled every request sent so far; true when none of the
    // requests sent while this trap lived failed.
    bool sync();
    // True when no error of a request sent while this trap lived has arrived so far.
    bool clean() const { return errors == 0; }

  private:
    friend struct X11ErrorWatch;
    Display* display;
    unsigned long firstRequest;
    unsigned long errors = 0;
    X11ErrorTrap* outer = nullptr;
};

} // namespace VSTGUI::platform
