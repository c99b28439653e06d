#include "vstgui/CKnob.h"

#include "vstgui/ButtonState.h"
#include "vstgui/CBitmap.h"
#include "vstgui/CControlListener.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"
#include "vstgui/platform/Platform.h"

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
    if (!mouseEnabled) return;
    if (buttons == -1) buttons = context ? context->getMouseButtons() : 0;
    if (!(buttons & kLButton)) return;
    if (listener && (buttons & kModifierMask) &&
        listener->controlModifierClicked(context, this, buttons) != 0)
        return;
    if (checkDefaultValue(context, buttons)) return;

    // The tracking loop calls out to the listener, the editor and the host, any of which may
    // close the editor; the knob keeps itself alive until the loop is left.
    remember();

    float old = oldValue;
    float entryValue = value;
    const float middle = (vmax - vmin) * 0.5f;
    float range = kLinearRange;
    float coef = (vmax - vmin) / range;
    int32_t oldButtons = buttons;
    CPoint firstPoint(0, 0);

    const int32_t knobMode = parentFrame ? parentFrame->getKnobMode() : kCircularMode;
    const bool linear = (knobMode == kLinearMode) != ((buttons & kAlt) != 0);
    if (linear) {
        if (buttons & kShift) range *= zoomFactor;
        coef = (vmax - vmin) / range;
        firstPoint = where;
    } else {
        CPoint p = where;
        p.offset(-size.left, -size.top);
        old = valueFromPoint(p);
    }

    beginEdit();
    CPoint lastWhere(-1, -1);
    for (;;) {
        buttons = context ? context->getMouseButtons() : 0;
        if (where != lastWhere) {
            lastWhere = where;
            if (linear) {
                const int32_t diff = (where.h - firstPoint.h) + (firstPoint.v - where.v);
                if (buttons != oldButtons) {
                    range = kLinearRange;
                    if (buttons & kShift) range *= zoomFactor;
                    const float coef2 = (vmax - vmin) / range;
                    entryValue += static_cast<float>(diff) * (coef - coef2);
                    coef = coef2;
                    oldButtons = buttons;
                }
                value = entryValue + static_cast<float>(diff) * coef;
                bounceValue();
            } else {
                CPoint p = where;
                p.offset(-size.left, -size.top);
                value = valueFromPoint(p);
                if (old - value > middle)
                    value = vmax;
                else if (value - old > middle)
                    value = vmin;
                else
                    old = value;
            }
            if (isDirty() && listener) listener->valueChanged(context, this);
        }
        getMouseLocation(context, where);
        doIdleStuff();
        if (!(buttons & kLButton)) break;
        // A frame that closed, or a window the host destroyed, ends the drag: the button
        // release would never be seen there.
        if (!parentFrame || !parentFrame->isOpen()) break;
        const platform::WindowHandle window = parentFrame->getPlatformWindow();
        if (window && !platform::platform().windowExists(window)) break;
    }
    endEdit();
    forget();
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
        beginEdit();
        listener->valueChanged(context, this);
        endEdit();
    }
}

} // namespace VSTGUI
