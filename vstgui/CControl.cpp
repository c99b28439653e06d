#include "vstgui/CControl.h"

#include "vstgui/ButtonState.h"
#include "vstgui/CControlListener.h"
#include "vstgui/CFrame.h"

#include <cmath>
#include <cstring>

namespace VSTGUI {

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* bitmap)
    : CView(size), listener(listener), tag(tag) {
    setTransparency(false);
    setMouseEnabled(true);
    backOffset = CPoint(0, 0);
    setBackground(bitmap);
}

bool CControl::isDirty() const {
    // A value that is not a number counts as drawn once it has been drawn, so that it is not
    // redrawn on every idle.
    const bool sameValue = value == oldValue || (std::isnan(value) && std::isnan(oldValue));
    return !sameValue || dirty;
}

void CControl::setDirty(bool newValue) {
    dirty = newValue;
    if (newValue)
        oldValue = value == -1.0f ? 0.0f : -1.0f;
    else
        oldValue = value;
}

bool CControl::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CControl") == 0) || CView::isTypeOf(type);
}

void CControl::doIdleStuff() {
    if (parentFrame) parentFrame->doIdleStuff();
}

void CControl::setValue(float newValue) {
    value = newValue;
}

float CControl::getValue() const {
    return value;
}

void CControl::setMin(float newValue) {
    vmin = newValue;
}

float CControl::getMin() const {
    return vmin;
}

void CControl::setMax(float newValue) {
    vmax = newValue;
}

float CControl::getMax() const {
    return vmax;
}

void CControl::setOldValue(float newValue) {
    oldValue = newValue;
}

float CControl::getOldValue() const {
    return oldValue;
}

void CControl::setDefaultValue(float newValue) {
    defaultValue = newValue;
}

float CControl::getDefaultValue() const {
    return defaultValue;
}

void CControl::setTag(int32_t newValue) {
    tag = newValue;
}

int32_t CControl::getTag() const {
    return tag;
}

void CControl::beginEdit() {
    if (!parentFrame) return;
    parentFrame->setFocusView(this);
    parentFrame->beginEdit(tag);
}

void CControl::endEdit() {
    if (parentFrame) parentFrame->endEdit(tag);
}

void CControl::setBackOffset(const CPoint& offset) {
    backOffset = offset;
}

void CControl::copyBackOffset() {
    backOffset = CPoint(size.left, size.top);
}

void CControl::setWheelInc(float newValue) {
    wheelInc = newValue;
}

float CControl::getWheelInc() const {
    return wheelInc;
}

void CControl::bounceValue() {
    if (value > vmax)
        value = vmax;
    else if (value < vmin)
        value = vmin;
}

bool CControl::checkDefaultValue(CDrawContext* context, int32_t buttons) {
    if (buttons != (kControl | kLButton)) return false;
    beginEdit();
    value = getDefaultValue();
    if (isDirty() && listener) listener->valueChanged(context, this);
    endEdit();
    return true;
}

} // namespace VSTGUI
