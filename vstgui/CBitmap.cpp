#include "vstgui/CBitmap.h"

#include "vstgui/CDrawContext.h"
#include "vstgui/platform/DrawSurface.h"
#include "vstgui/platform/PngDecoder.h"
#include "vstgui/platform/Resources.h"

namespace VSTGUI {

namespace {

CRect moved(CRect r, CPoint by) {
    return r.offset(by.h, by.v);
}

} // namespace

CBitmap::CBitmap(int32_t resourceId) : resourceId(resourceId) {
    loadFromResource(resourceId);
    transparentColor = kTransparentCColor;
}

CBitmap::~CBitmap() {
    dispose();
}

void CBitmap::dispose() {
    if (handle) cairo_surface_destroy(handle);
    handle = nullptr;
    width = height = 0;
    noAlpha = false;
}

bool CBitmap::loadFromResource(int32_t id) {
    dispose();
    const std::span<const uint8_t> bytes = platform::findResource("PNG", id);
    if (bytes.empty()) return false; // this platform has no plain bitmap resources
    const platform::DecodedPng image = platform::decodePng(bytes);
    width = image.width;
    height = image.height;
    handle = image.surface;
    noAlpha = false;
    return true;
}

bool CBitmap::loadFromFile(const char*) {
    dispose();
    return false;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    if (!noAlpha) {
        drawAlphaBlend(context, rect, offset, 255);
        return;
    }
    if (!handle || !context || !context->getDrawSurface()) return;
    context->getDrawSurface()->copyImage(handle, moved(rect, context->offset), offset);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    if (!noAlpha) {
        draw(context, rect, offset);
        return;
    }
    if (!handle || !context || !context->getDrawSurface()) return;
    context->getDrawSurface()->copyImageColorKeyed(handle, moved(rect, context->offset), offset,
                                                   transparentColor);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset,
                             uint8_t alpha) {
    if (!handle || !context || !context->getDrawSurface()) return;
    context->getDrawSurface()->composite(handle, moved(rect, context->offset), offset, alpha);
}

} // namespace VSTGUI
