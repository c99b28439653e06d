#pragma once

namespace VSTGUI {

class CDrawContext;

// A view that follows the pointer from a button press to its release, one step at a time: the
// press starts it, the frame calls trackPointer on each idle while it lasts, and every call
// returns at once, so the host's thread is never held.
class CPointerTracker {
  public:
    // One step: reads the buttons and the pointer through context and follows them; false once
    // the button was found released and the tracking has ended.
    virtual bool trackPointer(CDrawContext* context) = 0;
    // Ends the tracking without a release (the window or the view went away).
    virtual void cancelTracking() = 0;

  protected:
    ~CPointerTracker() = default;
};

} // namespace VSTGUI
