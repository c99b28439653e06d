#pragma once

#include "vstgui/CKnob.h"

namespace VSTGUI {

// A knob drawn as one frame of a film strip: subPixmaps frames of heightOfOneImage pixels
// stacked from the top, frame k showing the value k / (subPixmaps - 1).
class CAnimKnob : public CKnob {
  public:
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
              int32_t heightOfOneImage, CBitmap* background, const CPoint& offset);

    // Values above the range show the last frame; below it, or not a number, the first.
    void draw(CDrawContext* context) override;
    // Clean while the handle point has not moved since the last draw.
    bool isDirty() const override;
    bool isTypeOf(const char* type) const override;

    void setInverseBitmap(bool value) { inverseBitmap = value; }
    // Top edge of the strip frame shown for the current value.
    int32_t frameOffset() const;

  protected:
    int32_t subPixmaps = 0;
    int32_t heightOfOneImage = 0;
    bool inverseBitmap = false;
    CPoint lastDrawnPoint;
};

} // namespace VSTGUI
