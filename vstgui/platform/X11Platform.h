#pragma once

#include "vstgui/platform/Platform.h"

namespace VSTGUI::platform {

// The platform on an X11 display: the frame's window is a child of the host's window, its
// Expose, ButtonPress and wheel events go to the frame's handle* operations, the clock is the
// monotonic clock in milliseconds and the pointer is read with XQueryPointer. Built with the
// windowing layer; until then the headless platform stands in.
class X11Platform : public Platform {
  public:
    // Opens the display named by the environment; isOpen() tells whether that worked.
    X11Platform();
    ~X11Platform() override;
    bool isOpen() const;
};

} // namespace VSTGUI::platform
