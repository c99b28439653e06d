#include "vstgui/CParamDisplay.h"

#include "vstgui/CBitmap.h"
#include "vstgui/CDrawContext.h"

#include <cstdio>
#include <cstring>

namespace VSTGUI {

namespace {

constexpr size_t kTextSize = 256;

} // namespace

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* background, int32_t style)
    : CControl(size, nullptr, 0, background), style(style) {
    if (style & kNoDrawStyle) setDirty(false);
}

bool CParamDisplay::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CParamDisplay") == 0) || CControl::isTypeOf(type);
}

void CParamDisplay::getText(char* text) const {
    text[0] = 0;
    if (stringConvert2)
        stringConvert2(value, text, userData);
    else if (stringConvert)
        stringConvert(value, text);
    else
        std::snprintf(text, kTextSize, "%2.2f", static_cast<double>(value));
    text[kTextSize - 1] = 0;
}

void CParamDisplay::draw(CDrawContext* context) {
    char text[kTextSize];
    getText(text);
    drawText(context, text);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text) {
    setDirty(false);
    if ((style & kNoDrawStyle) || !context) return;

    if (background) {
        if (transparencyEnabled)
            background->drawTransparent(context, size, backOffset);
        else
            background->draw(context, size, backOffset);
    } else if (!transparencyEnabled) {
        context->setFillColor(backColor);
        context->fillRect(size);
        if (!(style & (k3DIn | k3DOut | kNoFrame))) {
            context->setFrameColor(frameColor);
            context->drawRect(size);
        }
    }

    if (style & (k3DIn | k3DOut)) {
        const int32_t l = size.left;
        const int32_t t = size.top + 1;
        const int32_t r = size.right - 1;
        const int32_t b = size.bottom - 1;
        const bool in = (style & k3DIn) != 0;
        context->setLineWidth(1);
        context->setFrameColor(in ? backColor : frameColor);
        context->moveTo(CPoint(l, b));
        context->lineTo(CPoint(l, t));
        context->lineTo(CPoint(r, t));
        context->setFrameColor(in ? frameColor : backColor);
        context->moveTo(CPoint(r, t));
        context->lineTo(CPoint(r, b));
        context->lineTo(CPoint(l, b));
    }

    if ((style & kNoTextStyle) || !text || !text[0]) return;
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = size;
    context->setClipRect(clip.bound(oldClip));
    context->setFont(fontID, 0, txtFace);
    const int32_t opaque = textTransparencyEnabled ? 0 : 1;
    if (style & kShadowText) {
        CRect shadowRect = size;
        shadowRect.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadowRect, opaque, horiTxtAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, opaque, horiTxtAlign);
    context->setClipRect(oldClip);
}

void CParamDisplay::setFont(int32_t id) {
    if (id == fontID) return;
    fontID = id;
    setDirty();
}

void CParamDisplay::setFontColor(CColor color) {
    if (color == fontColor) return;
    fontColor = color;
    setDirty();
}

void CParamDisplay::setBackColor(CColor color) {
    if (color == backColor) return;
    backColor = color;
    setDirty();
}

void CParamDisplay::setFrameColor(CColor color) {
    if (color == frameColor) return;
    frameColor = color;
    setDirty();
}

void CParamDisplay::setShadowColor(CColor color) {
    if (color == shadowColor) return;
    shadowColor = color;
    setDirty();
}

void CParamDisplay::setHoriAlign(int32_t align) {
    if (align == horiTxtAlign) return;
    horiTxtAlign = align;
    setDirty();
}

void CParamDisplay::setStringConvert(StringConvert2 convert, void* data) {
    stringConvert2 = convert;
    userData = data;
}

void CParamDisplay::setStringConvert(StringConvert convert) {
    stringConvert = convert;
}

void CParamDisplay::setString2FloatConvert(String2FloatConvert convert) {
    string2FloatConvert = convert;
}

void CParamDisplay::setStyle(int32_t newStyle) {
    if (newStyle == style) return;
    style = newStyle;
    setDirty();
}

void CParamDisplay::setTxtFace(int32_t face) {
    if (face == txtFace) return;
    txtFace = face;
    setDirty();
}

void CParamDisplay::setTextTransparency(bool value) {
    textTransparencyEnabled = value;
}

} // namespace VSTGUI
