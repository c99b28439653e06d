#include "vstgui/CAnimKnob.h"

#include "vstgui/CBitmap.h"

#include <algorithm>
#include <cstring>

namespace VSTGUI {

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                     int32_t heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, nullptr, offset), subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage) {
    inset = 0;
}

bool CAnimKnob::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CAnimKnob") == 0) || CKnob::isTypeOf(type);
}

int32_t CAnimKnob::frameOffset() const {
    // Not a number or below 0 shows the first frame (the comparison fails for NaN).
    if (!(value >= 0.0f) || heightOfOneImage <= 0 || subPixmaps < 2) return 0;
    const float shown = std::min(value, 1.0f);
    const int32_t span = heightOfOneImage * (subPixmaps - 1);
    int32_t y =
        static_cast<int32_t>((inverseBitmap ? 1.0f - shown : shown) * static_cast<float>(span));
    // Snap down to the top of the frame that contains y.
    for (int32_t r = 0; r <= span; r += heightOfOneImage) {
        if (y < r) {
            y = std::max(r - heightOfOneImage, 0);
            break;
        }
    }
    return std::clamp(y, 0, span);
}

void CAnimKnob::draw(CDrawContext* context) {
    if (background && context) {
        const CPoint source(0, frameOffset());
        if (transparencyEnabled)
            background->drawTransparent(context, size, source);
        else
            background->draw(context, size, source);
    }
    valueToPoint(lastDrawnPoint);
    setDirty(false);
}

bool CAnimKnob::isDirty() const {
    if (!dirty) {
        CPoint p;
        valueToPoint(p);
        if (p == lastDrawnPoint) return false;
    }
    return CKnob::isDirty();
}

} // namespace VSTGUI
