#pragma once

#include <cstdint>

namespace VSTGUI {

class CControl;
class CDrawContext;

// Receives the value changes a control makes on behalf of the user.
class CControlListener {
  public:
    // The context may be null (key input).
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    // Asked first about a click with a modifier; non-zero consumes the click.
    virtual int32_t controlModifierClicked(CDrawContext*, CControl*, int32_t) { return 0; }

  protected:
    // Listeners are never deleted through this interface.
    ~CControlListener() = default;
};

} // namespace VSTGUI
