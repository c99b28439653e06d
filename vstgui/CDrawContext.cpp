#include "vstgui/CDrawContext.h"

#include "vstgui/CFrame.h"
#include "vstgui/platform/DrawSurface.h"

namespace VSTGUI {

namespace {

struct FontTableEntry {
    const char* face;
    int32_t size;
};

constexpr FontTableEntry kFontTable[kNumFonts] = {
    {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
    {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
};

constexpr int32_t kNoFont = -1;

CRect moved(CRect r, CPoint by) {
    return r.offset(by.h, by.v);
}
CPoint moved(CPoint p, CPoint by) {
    return p.offset(by.h, by.v);
}

} // namespace

CDrawContext::CDrawContext(CFrame* frame, cairo_surface_t* surface, platform::WindowHandle window)
    : window(window), frame(frame), fontId(kNoFont) {
    if (frame)
        frame->getViewSize(clipRect);
    else
        clipRect = CRect(0, 0, 1000, 1000);
    // The pointer is asked through the frame's window, the same for every context of the frame
    // (its back buffer included).
    pointerWindow = frame && frame->getPlatformWindow() ? frame->getPlatformWindow() : window;
    if (!surface && window) {
        ownedSurface = platform::windowServices().acquireWindowSurface(window);
        surface = ownedSurface;
    }
    if (window) screenOffset = platform::windowServices().windowScreenOrigin(window);
    if (surface) attachSurface(surface);
    setFont(kSystemFont);
}

CDrawContext::~CDrawContext() {
    surface.reset();
    if (ownedSurface) platform::windowServices().releaseWindowSurface(window, ownedSurface);
}

void CDrawContext::attachSurface(cairo_surface_t* target) {
    surface = platform::windowServices().createDrawSurface(target);
    surface->setTextBackgroundOpaque(false);
    realisePen();
    realiseBrush();
    surface->setTextColor(fontColor);
    if (fontId != kNoFont) realiseFont();
}

void CDrawContext::realisePen() {
    if (!surface) return;
    surface->selectPen({lineStyle == kLineOnOffDash ? 1 : 0, frameWidth, frameColor});
}

void CDrawContext::realiseBrush() {
    if (!surface) return;
    surface->selectBrush(fillColor);
    surface->setTextBackColor(fillColor);
}

void CDrawContext::realiseFont() {
    if (!surface) return;
    const FontTableEntry& entry = kFontTable[fontId];
    platform::FontRequest request;
    request.face = entry.face;
    request.pixelHeight = fontSize;
    request.bold = (fontStyle & kBoldFace) != 0 || fontId == kSystemFont;
    request.italic = (fontStyle & kItalicFace) != 0;
    request.underline = (fontStyle & kUnderlineFace) != 0;
    request.symbolFamily = fontId == kSymbolFont;
    surface->selectFont(platform::PlatformFont::create(request));
}

void CDrawContext::setLineStyle(int32_t style) {
    if (style == lineStyle) return;
    lineStyle = style;
    realisePen();
}

void CDrawContext::setLineWidth(int32_t width) {
    if (width == frameWidth) return;
    frameWidth = width;
    realisePen();
}

void CDrawContext::setFrameColor(const CColor color) {
    if (color == frameColor) return;
    frameColor = color;
    realisePen();
}

void CDrawContext::setFillColor(const CColor color) {
    if (color == fillColor) return;
    fillColor = color;
    realiseBrush();
}

void CDrawContext::setFontColor(const CColor color) {
    fontColor = color;
    if (surface) surface->setTextColor(color);
}

void CDrawContext::setFont(int32_t id, int32_t size, int32_t style) {
    if (id < 0 || id >= kNumFonts) id = kSystemFont;
    const int32_t newSize = size != 0 ? size : kFontTable[id].size;
    if (id == fontId && newSize == fontSize && style == fontStyle) return;
    fontId = id;
    fontSize = newSize;
    fontStyle = style;
    realiseFont();
}

void CDrawContext::setClipRect(const CRect& clip) {
    const CRect r = moved(clip, offset);
    if (r == clipRect) return;
    clipRect = r;
    if (surface) surface->setClip(r);
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
    clip = clipRect;
    clip.offset(-offset.h, -offset.v);
    return clip;
}

void CDrawContext::moveTo(const CPoint& point) {
    if (surface) surface->moveTo(moved(point, offset));
}

void CDrawContext::lineTo(const CPoint& point) {
    if (surface) surface->lineTo(moved(point, offset));
}

void CDrawContext::drawRect(const CRect& rect, int32_t style) {
    if (!surface) return;
    const CRect r = moved(rect, offset);
    if (style == kDrawFilled || style == kDrawFilledAndStroked) surface->fillRect(r);
    if (style == kDrawStroked || style == kDrawFilledAndStroked) {
        surface->moveTo({r.left, r.top});
        surface->lineTo({r.right - 1, r.top});
        surface->lineTo({r.right - 1, r.bottom - 1});
        surface->lineTo({r.left, r.bottom - 1});
        surface->lineTo({r.left, r.top});
    }
}

void CDrawContext::fillRect(const CRect& rect) {
    if (!surface) return;
    CRect r = moved(rect, offset);
    // Set field by field: an empty rectangle must stay empty rather than be normalised.
    r.left += 1;
    r.top += 1;
    surface->fillRect(r);
}

void CDrawContext::drawString(const char* string, const CRect& rect, int32_t opaque,
                              int32_t hAlign) {
    if (!string || !surface) return;
    surface->setTextBackgroundOpaque(opaque != 0);
    CRect r = moved(rect, offset);
    if (hAlign != kCenterText && hAlign != kRightText) {
        hAlign = kLeftText;
        r.left += 1;
    }
    surface->drawText(string, r, hAlign);
    surface->setTextBackgroundOpaque(false);
}

int32_t CDrawContext::getMouseButtons() {
    return platform::windowServices().buttonState(pointerWindow);
}

CPoint& CDrawContext::getMouseLocation(CPoint& point) {
    const CPoint screen = platform::windowServices().pointerScreenPosition(pointerWindow);
    point = CPoint(screen.h - screenOffset.h, screen.v - screenOffset.v);
    return point;
}

} // namespace VSTGUI
