#include "vstgui/CKnob.h"

#include "vstgui/ButtonState.h"
#include "vstgui/CBitmap.h"
#include "vstgui/CControlListener.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace VSTGUI {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kTwoPi = 2.0f * kPi;
constexpr int32_t kModifierMask = kShift | kControl | kAlt | kCommand;
constexpr float kLinearRange = 200.0f;

// Virtual keys of the host's key records, and the shift bit of their modifiers.
constexpr unsigned char kVirtualKeyLeft = 11;
constexpr unsigned char kVirtualKeyUp = 12;
constexpr unsigned char kVirtualKeyRight = 13;
constexpr unsigned char kVirtualKeyDown = 14;
constexpr unsigned char kModifierShift = 1;

int32_t handleInset(CBitmap* handle) {
    return static_cast<int32_t>(static_cast<float>(handle->getWidth()) * 0.5f + 2.5f);
}

// Rounds a pixel coordinate; a value that is not a number (from a value that is not one, or from
// vmin equal to vmax) gives 0 and anything else stays within the int32_t range.
int32_t toCoordinate(float x) {
    if (std::isnan(x)) return 0;
    return static_cast<int32_t>(std::clamp(x, -1.0e9f, 1.0e9f));
}

float wrapAngle(float angle) {
    if (angle < 0.0f)
        angle += kTwoPi;
    else if (angle > kTwoPi)
        angle -= kTwoPi;
    return angle;
}

} // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
             CBitmap* handle, const CPoint& offset)
    : CControl(size, listener, tag, background), offset(offset), handleBitmap(handle) {
    if (handleBitmap) {
        handleBitmap->remember();
        inset = handleInset(handleBitmap);
    }
    radius = static_cast<float>(size.width()) / 2.0f;
    rangeAngle = 1.0f;
    setStartAngle(5.0f * kPi / 4.0f);
    setRangeAngle(-3.0f * kPi / 2.0f);
    zoomFactor = 1.5f;
    setWantsFocus(true);
}

CKnob::~CKnob() {
    if (handleBitmap) handleBitmap->forget();
}

bool CKnob::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CKnob") == 0) || CControl::isTypeOf(type);
}

void CKnob::compute() {
    halfAngle = (kTwoPi - std::fabs(rangeAngle)) * 0.5f;
    aCoef = (vmax - vmin) / rangeAngle;
    bCoef = vmin - aCoef * startAngle;
    setDirty();
}

void CKnob::setStartAngle(float angle) {
    startAngle = angle;
    compute();
}

float CKnob::getStartAngle() const {
    return startAngle;
}

void CKnob::setRangeAngle(float angle) {
    rangeAngle = angle;
    compute();
}

float CKnob::getRangeAngle() const {
    return rangeAngle;
}

void CKnob::valueToPoint(CPoint& point) const {
    const float alpha = (value - bCoef) / aCoef;
    const float reach = radius - static_cast<float>(inset);
    point.h = toCoordinate(radius + std::cos(alpha) * reach + 0.5f);
    point.v = toCoordinate(radius - std::sin(alpha) * reach + 0.5f);
}

float CKnob::valueFromPoint(CPoint& point) const {
    float alpha =
        std::atan2(radius - static_cast<float>(point.v), static_cast<float>(point.h) - radius);
    if (alpha < 0.0f) alpha += kTwoPi;
    float alpha2 = alpha - startAngle;
    if (rangeAngle < 0.0f) {
        alpha2 -= rangeAngle;
        const float alpha3 = wrapAngle(alpha2);
        if (alpha3 > halfAngle - rangeAngle) return vmax;
        if (alpha3 > -rangeAngle) return vmin;
        if (alpha2 > halfAngle - rangeAngle)
            alpha2 -= kTwoPi;
        else if (alpha2 < -halfAngle)
            alpha2 += kTwoPi;
        return aCoef * alpha2 + vmax;
    }
    const float alpha3 = wrapAngle(alpha2);
    if (alpha3 > rangeAngle + halfAngle) return vmin;
    if (alpha3 > rangeAngle) return vmax;
    if (alpha2 > rangeAngle + halfAngle)
        alpha2 -= kTwoPi;
    else if (alpha2 < -halfAngle)
        alpha2 += kTwoPi;
    return aCoef * alpha2 + vmin;
}

void CKnob::setInsetValue(int32_t newInset) {
    inset = newInset;
}

void CKnob::setColorShadowHandle(CColor color) {
    colorShadowHandle = color;
    setDirty();
}

void CKnob::setColorHandle(CColor color) {
    colorHandle = color;
    setDirty();
}

void CKnob::setHandleBitmap(CBitmap* bitmap) {
    // The new one is taken before the old one is let go: they may be the same bitmap.
    if (bitmap) bitmap->remember();
    if (handleBitmap) handleBitmap->forget();
    handleBitmap = bitmap;
    if (handleBitmap) inset = handleInset(handleBitmap);
}

void CKnob::setZoomFactor(float factor) {
    zoomFactor = factor;
}

float CKnob::getZoomFactor() const {
    return zoomFactor;
}

void CKnob::draw(CDrawContext* context) {
    if (background && context) {
        if (transparencyEnabled)
            background->drawTransparent(context, size, offset);
        else
            background->draw(context, size, offset);
    }
    if (context) drawHandle(context);
    setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context) {
    CPoint p;
    valueToPoint(p);
    if (handleBitmap) {
        const int32_t w = handleBitmap->getWidth();
        const int32_t h = handleBitmap->getHeight();
        const CPoint corner(size.left + p.h - w / 2, size.top + p.v - h / 2);
        handleBitmap->drawTransparent(context, CRect(corner, CPoint(w, h)), CPoint(0, 0));
        return;
    }
    CPoint origin(size.left + size.width() / 2 - 1, size.top + size.height() / 2);
    CPoint q(size.left + p.h - 1, size.top + p.v);
    context->setFrameColor(colorShadowHandle);
    context->moveTo(q);
    context->lineTo(origin);
    q.offset(1, -1);
    origin.offset(1, -1);
    context->setFrameColor(colorHandle);
    context->moveTo(q);
    context->lineTo(origin);
}

void CKnob::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    if (!mouseEnabled || drag.active) return;
    if (buttons == -1) buttons = context ? context->getMouseButtons() : 0;
    if (!(buttons & kLButton)) return;
    if (listener && (buttons & kModifierMask) &&
        listener->controlModifierClicked(context, this, buttons) != 0)
        return;
    if (checkDefaultValue(context, buttons)) return;

    drag = Drag{};
    drag.old = oldValue;
    drag.entryValue = value;
    drag.middle = (vmax - vmin) * 0.5f;
    float range = kLinearRange;
    drag.oldButtons = buttons;
    const int32_t knobMode = parentFrame ? parentFrame->getKnobMode() : kCircularMode;
    drag.linear = (knobMode == kLinearMode) != ((buttons & kAlt) != 0);
    if (drag.linear) {
        if (buttons & kShift) range *= zoomFactor;
        drag.firstPoint = where;
    } else {
        CPoint p = where;
        p.offset(-size.left, -size.top);
        drag.old = valueFromPoint(p);
    }
    drag.coef = (vmax - vmin) / range;
    drag.where = where;
    drag.lastWhere = CPoint(-1, -1);

    beginEdit();
    drag.active = true;
    // The press is the first step; the frame's idle calls make the others.
    if (!trackPointer(context)) return;
    if (parentFrame)
        parentFrame->startTracking(this, this);
    else
        cancelTracking();
}

bool CKnob::trackPointer(CDrawContext* context) {
    if (!drag.active) return false;
    // The listener and the host behind it may drop the knob from the tree meanwhile.
    remember();
    const int32_t buttons = context ? context->getMouseButtons() : 0;
    if (drag.where != drag.lastWhere) {
        drag.lastWhere = drag.where;
        const CPoint& where = drag.where;
        if (drag.linear) {
            const int32_t diff = (where.h - drag.firstPoint.h) + (drag.firstPoint.v - where.v);
            if (buttons != drag.oldButtons) {
                // Shift pressed or released: a new sensitivity, with no jump in the value.
                float range = kLinearRange;
                if (buttons & kShift) range *= zoomFactor;
                const float coef2 = (vmax - vmin) / range;
                drag.entryValue += static_cast<float>(diff) * (drag.coef - coef2);
                drag.coef = coef2;
                drag.oldButtons = buttons;
            }
            value = drag.entryValue + static_cast<float>(diff) * drag.coef;
            bounceValue();
        } else {
            CPoint p = where;
            p.offset(-size.left, -size.top);
            value = valueFromPoint(p);
            // Across the dead sector the value stays at the limit it came from.
            if (drag.old - value > drag.middle)
                value = vmax;
            else if (value - drag.old > drag.middle)
                value = vmin;
            else
                drag.old = value;
        }
        if (isDirty() && listener) listener->valueChanged(context, this);
    }
    if (drag.active) getMouseLocation(context, drag.where);
    if (!(buttons & kLButton)) cancelTracking();
    const bool goesOn = drag.active;
    forget();
    return goesOn;
}

void CKnob::cancelTracking() {
    if (!drag.active) return;
    drag.active = false;
    endEdit();
}

bool CKnob::onWheel(CDrawContext* context, const CPoint&, float distance) {
    if (!mouseEnabled) return false;
    const int32_t buttons = context ? context->getMouseButtons() : 0;
    stepValue(distance, (buttons & kShift) != 0, context);
    return true;
}

int32_t CKnob::onKeyDown(VstKeyCode& keyCode) {
    float distance = 0.0f;
    switch (keyCode.virt) {
    case kVirtualKeyUp:
    case kVirtualKeyRight:
        distance = 1.0f;
        break;
    case kVirtualKeyLeft:
    case kVirtualKeyDown:
        distance = -1.0f;
        break;
    default:
        return -1;
    }
    stepValue(distance, (keyCode.modifier & kModifierShift) != 0, nullptr);
    return 1;
}

void CKnob::stepValue(float distance, bool fine, CDrawContext* context) {
    value += fine ? wheelInc * distance * 0.1f : wheelInc * distance;
    bounceValue();
    if (isDirty() && listener) {
        // During a drag the step belongs to the drag's gesture.
        if (!drag.active) beginEdit();
        listener->valueChanged(context, this);
        if (!drag.active) endEdit();
    }
}

} // namespace VSTGUI
